// The first-generation memory image: how the store's values map onto the main block, the extension block
// and the SIM-programming byte of the device's EEPROM.
#include "config/TConfig.h"

#include "config/Gadgets.h"
#include "platform/KavorError.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr quint8 SimProgrammingForbidden = 0x55;
constexpr int SecondsPerHour = 3600;
// Layouts before version 40 kept the first fixed PSTN phone here instead of at offset 77.
constexpr int OldFixedPhoneOffset = 37;
constexpr int FixedPhoneOffset = 77;
const QString ApnWord = QStringLiteral("internet");
const QString ApnMark = QStringLiteral("$");

void requireFirstGeneration(int deviceType) {
    if (deviceType != 0)
        throw KavorError(QStringLiteral("Недопустимая конфигурация"));
}

template <typename Byte> Byte* fieldOf(const TParamDesc& row, Byte* mainBlock, Byte* extBlock, Byte* simByte) {
    switch (row.Block) {
    case pbExtension:
        return extBlock + row.Offset;
    case pbSimByte:
        return simByte;
    default:
        return mainBlock + row.Offset;
    }
}

QString decodeNumber(const TParamDesc& row, const quint8* p) {
    int v = 0;
    if (row.Size == 0)
        v = *p == SimProgrammingForbidden ? 1 : 0;
    else if (row.Size == 1)
        v = *p;
    else
        v = p[0] | (p[1] << 8);
    if (row.has(pfInvert))
        v = 9 - v;
    if (row.has(pfHours))
        v /= SecondsPerHour;
    return QString::number(v);
}

QString decodeText(const TParamDesc& row, const quint8* p) {
    if (row.has(pfPhone))
        return DigitsToPhone(p, row.Size);
    const int length = int(strnlen(reinterpret_cast<const char*>(p), size_t(row.Size)));
    QString text = FromCp1251(reinterpret_cast<const char*>(p), length);
    if (row.has(pfApn))
        text.replace(ApnMark, ApnWord);
    return text;
}

QString decodeValue(const TParamDesc& row, const quint8* p) {
    switch (row.Kind) {
    case pkNumber:
    case pkChoice:
        return decodeNumber(row, p);
    case pkText:
        return decodeText(row, p);
    case pkAddress:
        return AddressToText(p);
    case pkIdent:
        return IdentToText(p);
    default:
        return {};
    }
}

// Refuses, rather than wraps, a number its field cannot hold: hours beyond 18 in a 16-bit count of
// seconds, or a GSM level above 9 that would invert to a negative byte.
bool encodeNumber(const TParamDesc& row, const QString& value, quint8* p) {
    int n = -1;
    if (!TextToInt(value, n) || n < 0)
        return false;
    if (row.has(pfInvert))
        n = 9 - n;
    if (row.has(pfHours))
        n = n > 65535 / SecondsPerHour ? -1 : n * SecondsPerHour;
    const int limit = row.Size == 2 ? 0xFFFF : 0xFF;
    if (n < 0 || (row.Size > 0 && n > limit))
        return false;
    if (row.Size == 0) {
        *p = n != 0 ? SimProgrammingForbidden : 0;
    } else {
        p[0] = quint8(n & 0xFF);
        if (row.Size == 2)
            p[1] = quint8(n >> 8);
    }
    return true;
}

bool encodeText(const TParamDesc& row, QString value, quint8* p) {
    if (row.has(pfPhone))
        return PhoneToDigits(value, p, row.Size);
    if (row.has(pfApn)) {
        const qsizetype at = value.indexOf(ApnWord);
        if (at >= 0)
            value.replace(at, ApnWord.size(), ApnMark);
    }
    if (!IsCp1251Text(value))
        return false;
    const QByteArray bytes = ToCp1251(value);
    // The PIN fills its field without a terminator; every other text keeps the field's last byte for one.
    const bool terminated = row.code() != QLatin1String("G04");
    const int room = terminated ? row.Size - 1 : row.Size;
    if (bytes.size() > room)
        return false;
    std::memcpy(p, bytes.constData(), size_t(bytes.size()));
    std::memset(p + bytes.size(), 0, size_t(room - bytes.size()));
    return true;
}

bool encodeValue(const TParamDesc& row, const QString& value, quint8* p) {
    switch (row.Kind) {
    case pkNumber:
    case pkChoice:
        return encodeNumber(row, value, p);
    case pkText:
        return encodeText(row, value, p);
    case pkAddress:
        return TextToAddress(value, p);
    case pkIdent:
        return TextToIdent(value, p);
    default:
        return false;
    }
}

// The built-in configuration a first-generation store starts with, in the layout of ImageLayoutVersion.
// Checksum bytes stay 0: nothing here reads them.
struct DefaultImage {
    std::array<quint8, MainBlockSize> main{};
    std::array<quint8, ExtBlockSize> ext{};
    quint8 simByte = 0; // $22 SIM programming allowed

    DefaultImage() {
        put(0, {6});                                   // $01 PSTN attempts
        put(1, {12});                                  // $02 GSM attempts
        put(2, {7});                                   // $08 receive level 2, stored as 9 - 2
        put(3, {2});                                   // $09 transmit level
        put(4, {1});                                   // M01-1 wait for the dial tone
        put(6, {1});                                   // $04 long GSM messages
        put(7, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});  // P10 empty
        put(13, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}); // P11 empty
        for (int offset : {19, 77, 91, 106, 120})      // $29, $11, $12, $25, $26 empty
            std::memset(main.data() + offset, 0xFF, 14);
        put(33, {'0', '0', '0', '0'});      // G04 PIN
        put(38, {130, 0});                  // M11 Contact ID 130
        put(40, {192, 0, 2, 10});           // S03, an address of a documentation range, never a real host
        put(48, {1});                       // $27 GPRS on
        put(51, {1, 2, 3, 4});              // I01 1234
        put(58, {1});                       // $13 no ring tone
        put(60, {'*', '1', '0', '0', '#'}); // B03 balance request
        put(70, {1});                       // $14
        put(73, {0x20, 0x1C});              // $16 two hours, in seconds
        put(75, {1});                       // $17 alarms only
        put(150, {'$'});                    // $28 APN host "internet"; login and password empty
        ext[32] = 24;                       // $05 GSM test every 24 hours
        ext[33] = 1;                        // $24 fixed numbers only
        ext[35] = 1;                        // $07 use Kolvet
    }

    void put(int offset, std::initializer_list<quint8> bytes) {
        std::copy(bytes.begin(), bytes.end(), main.begin() + offset);
    }
};

} // namespace

void TConfig::FromImage(bool fromDevice, const quint8* mainBlock, int version, const quint8* simByte,
                        const quint8* extBlock) {
    requireFirstGeneration(m_deviceType);
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (!row->Code || !row->has(pfGen1))
            continue;
        const QString code = row->code();
        int level = alEditable;
        (void)GetValue(code, &level);
        if (fromDevice && level == alNoRead)
            continue;
        if (version >= row->MinVersion) {
            assignValue(code, decodeValue(*row, fieldOf(*row, mainBlock, extBlock, simByte)));
        } else if (fromDevice && version < 40 && row->Block == pbMain && row->Offset == FixedPhoneOffset) {
            assignValue(code, DigitsToPhone(mainBlock + OldFixedPhoneOffset, row->Size));
        }
    }
}

bool TConfig::ToImage(quint8* mainBlock, quint8* extBlock, quint8* simByte) const {
    requireFirstGeneration(m_deviceType);
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (row->isSeparator() || !row->has(pfGen1) || row->has(pfReadOnly))
            continue;
        if (!encodeValue(*row, GetValue(row->code()), fieldOf(*row, mainBlock, extBlock, simByte)))
            return false;
    }
    return true;
}

void TConfig::LoadDefaultImage() {
    static const DefaultImage image;
    FromImage(false, image.main.data(), ImageLayoutVersion, &image.simByte, image.ext.data());
}
