#include "avrloader/IntelHex.h"

#include "platform/KavorError.h"

namespace {

QString hexByte(int value) {
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The value of `digits` hexadecimal digits at `pos`, or -1 when the line holds fewer there.
int readHex(const QString& line, int pos, int digits) {
    if (pos + digits > line.size())
        return -1;
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = hexDigit(line[pos + i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

[[noreturn]] void fail(const char* text, int lineIndex) {
    throw KavorError(QString::fromUtf8(text) + QString::number(lineIndex));
}

} // namespace

void BinToHex(QStringList& hexText, const quint8* buffer, int count, int baseAddress) {
    int offset = 0;
    bool first = true;
    while (offset < count) {
        if (first || (offset & 0xFFFF) == 0) {
            const int segment = (offset / 16) & 0xFFFF;
            const int high = segment >> 8;
            const int low = segment & 0xFF;
            hexText << QStringLiteral(":02000002") + hexByte(high) + hexByte(low) + hexByte(-(4 + high + low));
            first = false;
        }
        const int address = (baseAddress + offset) & 0xFFFF;
        QString payload;
        int sum = (address >> 8) + (address & 0xFF);
        int length = 0;
        do {
            payload += hexByte(buffer[offset]);
            sum += buffer[offset];
            ++length;
            ++offset;
        } while (length < 16 && offset % 16 != 0 && offset < count);
        sum += length;
        hexText << QStringLiteral(":") + hexByte(length) + hexByte(address >> 8) + hexByte(address) +
                       QStringLiteral("00") + payload + hexByte(-sum);
    }
    hexText << QStringLiteral(":00000001FF");
}

int HexToBin(const QStringList& hexText, quint8* buffer, int bufferSize, int* lowAddress, int* highAddress) {
    if (lowAddress != nullptr)
        *lowAddress = bufferSize - 1;
    if (highAddress != nullptr)
        *highAddress = 0;
    qint64 base = 0;
    int result = 0;
    for (int index = 0;; ++index) {
        if (index >= hexText.size())
            throw KavorError(QStringLiteral("Преждевременный конец файла"));
        const QString& line = hexText[index];
        const int length = line.startsWith(u':') ? readHex(line, 1, 2) : -1;
        const int address = readHex(line, 3, 4);
        const int type = readHex(line, 7, 2);
        if (length < 0 || address < 0 || type < 0 || type > 3)
            fail("Ошибка в формате файла, строка ", index);

        int sum = length + (address >> 8) + (address & 0xFF) + type;
        for (int i = 0; i < length; ++i) {
            const int value = readHex(line, 9 + 2 * i, 2);
            if (value < 0)
                fail("Ошибка в формате файла, строка ", index);
            // Only data lands in the buffer: the two bytes of a segment record are no address, and bounding
            // them would refuse the text written for a buffer of one byte.
            if (type == 0 && base + address + i > bufferSize - 1)
                fail("Выход адреса за границу, строка ", index);
            sum += value;
        }
        const int checksum = readHex(line, 9 + 2 * length, 2);
        if (checksum < 0)
            fail("Ошибка в формате файла, строка ", index);
        if (((checksum + sum) & 0xFF) != 0)
            fail("Ошибка контрольной суммы, строка ", index);

        if (type == 0) {
            for (int i = 0; i < length; ++i) {
                // The validation pass has bounded every address by bufferSize - 1, so it fits an int.
                const int at = static_cast<int>(base + address + i);
                if (buffer != nullptr)
                    buffer[at] = static_cast<quint8>(readHex(line, 9 + 2 * i, 2));
                if (lowAddress != nullptr && at < *lowAddress)
                    *lowAddress = at;
                if (highAddress != nullptr && at > *highAddress)
                    *highAddress = at;
                result = qMax(result, at + 1);
            }
        } else if (type == 1) {
            return result;
        } else if (type == 2) {
            const int segment = readHex(line, 9, 4);
            if (segment < 0)
                fail("Ошибка в формате файла, строка ", index);
            base = qint64(segment) * 16;
        }
    }
}
