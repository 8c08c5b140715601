// Configuration files: one scrambled record holding a header and the store's lines as text, or, in the
// older format that is still read, a first-generation memory image with one access-level byte per tree row.
#include "config/TConfig.h"

#include "config/Gadgets.h"
#include "platform/KavorError.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>

namespace {

// The plain record's layout; integers are 32-bit little-endian and unaligned.
constexpr int VersionOffset = 0;
constexpr int PasswordOffset = 4;
constexpr int PasswordBytes = 16;
constexpr int PasswordChars = PasswordBytes - 1;
constexpr int MainSizeOffset = 20;
constexpr int ExtSizeOffset = 24;
constexpr int FixedOffset = 28;
constexpr int LineCountOffset = 32;
constexpr int SimByteOffset = 36;
constexpr int DeviceTypeOffset = 37;
constexpr int MarkOffset = 41;
constexpr int BodyOffset = 101;
constexpr quint32 CurrentFormatMark = 0x12C49801;

// The older format: the image blocks, then one signed level byte per first-generation tree row.
constexpr int OldMainBlockOffset = BodyOffset;
constexpr int OldExtBlockOffset = OldMainBlockOffset + MainBlockSize;
constexpr int OldLevelsOffset = OldExtBlockOffset + ExtBlockSize;
constexpr int FirstGenerationTreeRows = 50;

// No configuration comes near this size; anything larger is not read into memory at all.
constexpr qint64 MaxFileSize = 1024 * 1024;

const QString BadFormat = QStringLiteral("Неверный формат файла");
const QString BadData = QStringLiteral("Недопустимые данные");

void putInt(QByteArray& record, int offset, quint32 value) {
    qToLittleEndian(value, reinterpret_cast<uchar*>(record.data() + offset));
}

qint32 getInt(const QByteArray& record, int offset) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | quint8(record.at(offset + i));
    return qint32(value);
}

const quint8* bytesAt(const QByteArray& record, int offset) {
    return reinterpret_cast<const quint8*>(record.constData() + offset);
}

// A CR, LF or zero byte inside a value would split its line or cut the body short, losing the lines after it.
bool keepsItsLine(const QString& value) {
    return std::none_of(value.begin(), value.end(), [](QChar c) { return c == u'\r' || c == u'\n' || c == u'\0'; });
}

QByteArray fileBody(const TConfig& config, int& count) {
    QString body;
    count = 0;
    for (const TConfigLine& line : config.Lines()) {
        const TParamDesc* row = line.code.isEmpty() ? nullptr : config.FindParam(line.code, 0);
        if (!row)
            throw KavorError(QStringLiteral("Неизвестный параметр ") + line.code);
        if (row->has(pfReadOnly))
            continue;
        if (line.level < alEditable || line.level > alNoRead || !IsCp1251Text(line.value) || !keepsItsLine(line.value))
            throw KavorError(BadData);
        body += QString::number(line.level) + line.code + u'=' + line.value + QStringLiteral("\r\n");
        ++count;
    }
    return ToCp1251(body);
}

QByteArray fileRecord(const TConfig& config, bool fixed, const QString& password) {
    const QString kept = password.left(PasswordChars);
    if (!IsCp1251Text(kept) || kept.contains(u'\0'))
        throw KavorError(BadData);
    int count = 0;
    const QByteArray body = fileBody(config, count);
    QByteArray record(BodyOffset + body.size() + 1, '\0');
    putInt(record, VersionOffset, ImageLayoutVersion);
    const QByteArray passwordBytes = ToCp1251(kept);
    std::copy(passwordBytes.begin(), passwordBytes.end(), record.begin() + PasswordOffset);
    putInt(record, MainSizeOffset, MainBlockSize);
    putInt(record, ExtSizeOffset, ExtBlockSize);
    putInt(record, FixedOffset, fixed ? 1 : 0);
    putInt(record, LineCountOffset, quint32(count));
    putInt(record, DeviceTypeOffset, quint32(config.DeviceType()));
    putInt(record, MarkOffset, CurrentFormatMark);
    std::copy(body.begin(), body.end(), record.begin() + BodyOffset);
    return record;
}

// The existing file is replaced only once the new one is completely written.
void writeFile(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    // Unbuffered, so that a short write is seen here and never committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw KavorError(file.errorString());
    if (file.write(data) != data.size())
        throw KavorError(LastErrorText());
    if (!file.commit())
        throw KavorError(file.errorString());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KavorError(file.errorString());
    if (file.size() > MaxFileSize)
        throw KavorError(BadFormat);
    const QByteArray data = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw KavorError(file.errorString());
    if (data.size() > MaxFileSize)
        throw KavorError(BadFormat);
    return data;
}

// Lines as the design's string list splits text: CR, LF or CR LF end a line; a final break adds no line.
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        lines.append(text.mid(pos, end - pos));
        pos = end + 1;
        if (end < text.size() && text.at(end) == u'\r' && pos < text.size() && text.at(pos) == u'\n')
            ++pos;
    }
    return lines;
}

// The lines of a current-format body, from offset 101 up to its terminating zero.
QStringList bodyLines(const QByteArray& record) {
    const qsizetype end = record.indexOf('\0', BodyOffset);
    if (end < 0)
        throw KavorError(BadFormat);
    return splitLines(FromCp1251(record.mid(BodyOffset, end - BodyOffset)));
}

struct BodyLine {
    QString code;
    QString value;
    int level = alEditable;
};

// A body line is the level digit, the code, "=" and the value.
BodyLine parseBodyLine(const QString& line) {
    BodyLine parsed;
    if (!TextToInt(line.left(1), parsed.level) || parsed.level < alEditable || parsed.level > alNoRead)
        throw KavorError(BadFormat);
    const qsizetype eq = line.indexOf(u'=', 1);
    if (eq < 0)
        throw KavorError(BadFormat);
    parsed.code = line.mid(1, eq - 1);
    parsed.value = line.mid(eq + 1);
    return parsed;
}

void takeOlderFormat(TConfig& config, const QByteArray& record) {
    const int levelBytes = std::clamp(getInt(record, LineCountOffset), 0, FirstGenerationTreeRows);
    if (record.size() < OldLevelsOffset + levelBytes)
        throw KavorError(BadFormat);
    config.SetDeviceType(0);
    config.FromImage(false, bytesAt(record, OldMainBlockOffset), ImageLayoutVersion, bytesAt(record, SimByteOffset),
                     bytesAt(record, OldExtBlockOffset));
    // Tree positions count the separator rows too; their bytes are not used.
    int position = 0;
    for (const TParamDesc* row = ParamTable; row->Name && position < levelBytes; ++row) {
        if (!row->isSeparator() && !row->has(pfGen1))
            continue;
        if (!row->isSeparator())
            config.SetAccess(row->code(), qint8(record.at(OldLevelsOffset + position)));
        ++position;
    }
}

} // namespace

bool TConfig::SaveToFile(const QString& path, bool fixed, const QString& password, Prompter& prompter) const {
    try {
        const QByteArray record = fileRecord(*this, fixed, password);
        QByteArray scrambled(record.size() + 1, '\0');
        ScrambleBlock(reinterpret_cast<quint8*>(scrambled.data()), bytesAt(record, 0), int(record.size()));
        writeFile(path, scrambled);
        return true;
    } catch (const KavorError& e) {
        prompter.showError(e.text());
        return false;
    }
}

bool TConfig::LoadFromFile(const QString& path, QString& password, bool& fixed, Prompter& prompter) {
    try {
        const QByteArray data = readFile(path);
        if (data.size() < 4)
            throw KavorError(BadFormat);
        const int n = int(data.size()) - 1;
        QByteArray record(n, '\0');
        if (!UnscrambleBlock(bytesAt(data, 0), reinterpret_cast<quint8*>(record.data()), n))
            throw KavorError(QStringLiteral("Файл конфигурации поврежден"));
        if (n < BodyOffset)
            throw KavorError(BadFormat);

        // Everything is taken into a copy first, so a file that fails halfway leaves this store as it was.
        TConfig loaded = *this;
        if (quint32(getInt(record, MarkOffset)) == CurrentFormatMark) {
            // A store that was never filled has no lines even for its own generation; the file's lines
            // need them to land in.
            const int type = getInt(record, DeviceTypeOffset);
            if (!loaded.SetDeviceType(type) && loaded.Lines().isEmpty())
                loaded.resetLines(type);
            for (const QString& text : bodyLines(record)) {
                const BodyLine line = parseBodyLine(text);
                if (loaded.SetValue(line.code, line.value, line.level))
                    continue;
                // A single blank is how the store holds an empty value, and saving writes it as held; a
                // file saved from such a store must load back, though the blank is no valid number.
                if (line.value != u" " || loaded.indexOf(line.code) < 0 || !loaded.SetAccess(line.code, line.level))
                    throw KavorError(BadFormat);
                loaded.assignValue(line.code, line.value);
            }
        } else {
            takeOlderFormat(loaded, record);
        }

        *this = std::move(loaded);
        const QByteArray passwordBytes = record.mid(PasswordOffset, PasswordBytes);
        const qsizetype passwordEnd = passwordBytes.indexOf('\0');
        password = FromCp1251(passwordEnd < 0 ? passwordBytes : passwordBytes.first(passwordEnd));
        fixed = getInt(record, FixedOffset) != 0;
        return true;
    } catch (const KavorError& e) {
        prompter.showError(e.text());
        return false;
    }
}
