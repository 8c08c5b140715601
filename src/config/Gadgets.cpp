#include "config/Gadgets.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

// The scrambler's constants. Every configuration file and every stored firmware image ever written
// depends on them: never change them.
constexpr std::array<quint8, 16> NibbleTable = {3, 1, 14, 6, 9, 4, 0, 2, 12, 8, 13, 10, 11, 5, 7, 15};
constexpr quint8 KeyA = 0x81;
constexpr quint8 KeyB = 0x3C;

constexpr std::array<quint8, 16> invertTable(const std::array<quint8, 16>& table) {
    std::array<quint8, 16> inverse{};
    for (int i = 0; i < 16; ++i)
        inverse[table[i]] = quint8(i);
    return inverse;
}

constexpr std::array<quint8, 16> InverseNibbleTable = invertTable(NibbleTable);

constexpr bool isPermutation(const std::array<quint8, 16>& table) {
    std::array<bool, 16> seen{};
    for (quint8 v : table) {
        if (v > 15 || seen[v])
            return false;
        seen[v] = true;
    }
    return true;
}

static_assert(isPermutation(NibbleTable), "NibbleTable must be a permutation of 0..15");
static_assert(KeyA != KeyB, "the two keys must differ");

quint8 substitute(quint8 v, const std::array<quint8, 16>& table) {
    return quint8(table[v >> 4] << 4 | table[v & 0x0F]);
}

quint8 rotateRight(quint8 v) {
    return quint8(v >> 1 | v << 7);
}
quint8 rotateLeft(quint8 v) {
    return quint8(v << 1 | v >> 7);
}

// Windows-1251 characters of the bytes 0x80..0xFF. The code page leaves 0x98 unassigned; it is mapped to
// U+0098, the code point no other byte uses, so that every byte survives a decode and encode unchanged.
constexpr std::array<char16_t, 128> Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // 0xF8
};

// The byte of a character, or -1 when Windows-1251 has none.
int cp1251Byte(char16_t c) {
    if (c < 0x80)
        return c;
    using Entry = std::pair<char16_t, quint8>;
    static const std::array<Entry, 128> sorted = [] {
        std::array<Entry, 128> entries{};
        for (int i = 0; i < 128; ++i)
            entries[i] = {Cp1251High[i], quint8(0x80 + i)};
        std::sort(entries.begin(), entries.end());
        return entries;
    }();
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), Entry{c, 0});
    return it != sorted.end() && it->first == c ? it->second : -1;
}

int phoneDigitCode(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    switch (c.unicode()) {
    case u'*':
        return 11;
    case u'#':
        return 12;
    case u'W':
        return 15;
    default:
        return -1;
    }
}

QString normalizedPhone(const QString& text) {
    return text.toUpper().trimmed();
}

int digitValue(QChar c, int base) {
    int v = -1;
    if (c >= u'0' && c <= u'9')
        v = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'z')
        v = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'Z')
        v = c.unicode() - u'A' + 10;
    return v < base ? v : -1;
}

} // namespace

bool PhoneToDigits(const QString& text, quint8* buf, int size) {
    const QString t = normalizedPhone(text);
    std::memset(buf, 0xFF, size_t(size));
    if (t.size() > size - 1)
        return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const int code = phoneDigitCode(t.at(i));
        if (code < 0)
            return false;
        buf[i] = quint8(code);
    }
    return true;
}

bool IsValidPhone(const QString& text, int size) {
    const QString t = normalizedPhone(text);
    return t.size() <= size - 1 && std::all_of(t.begin(), t.end(), [](QChar c) { return phoneDigitCode(c) >= 0; });
}

QString DigitsToPhone(const quint8* bytes, int count) {
    QString text;
    for (int i = 0; i < count; ++i) {
        const quint8 b = bytes[i];
        if (b > 15)
            break;
        if (b == 15)
            text += u'W';
        else if (b == 11)
            text += u'*';
        else if (b == 12)
            text += u'#';
        else
            text += QChar(0x30 + b);
    }
    return text;
}

bool TextToAddress(const QString& text, quint8* buf) {
    if (text.isEmpty()) {
        if (buf)
            std::memset(buf, 0, 4);
        return true;
    }
    QString rest = text;
    for (int part = 0; part < 4; ++part) {
        QString piece;
        if (part < 3) {
            const qsizetype dot = rest.indexOf(u'.');
            if (dot < 0)
                return false;
            piece = rest.left(dot);
            rest.remove(0, dot + 1);
        } else {
            piece = rest;
        }
        int n = -1;
        if (!TextToInt(piece, n) || n < 0 || n > 255)
            return false;
        if (buf)
            buf[part] = quint8(n);
    }
    return true;
}

QString AddressToText(const quint8* bytes) {
    if (!bytes[0] && !bytes[1] && !bytes[2] && !bytes[3])
        return {};
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

bool TextToIdent(const QString& text, quint8* buf) {
    if (buf)
        std::memset(buf, 0, 4);
    if (text.isEmpty())
        return true;
    int x = -1;
    if (text.size() != 4 || !TextToInt(QStringLiteral("0x") + text, x) || x < 0)
        return false;
    if (buf) {
        for (int i = 0; i < 4; ++i) {
            const int digit = (x >> (12 - 4 * i)) & 0x0F;
            buf[i] = quint8(digit ? digit : 10);
        }
    }
    return true;
}

QString IdentToText(const quint8* bytes) {
    // Each byte is read as a signed digit code and yields one 8-bit character, so any pattern reads back
    // as some text.
    char chars[4];
    for (int i = 0; i < 4; ++i) {
        const int v = qint8(bytes[i]);
        const int code = v <= 9 ? 0x30 + v : v == 10 ? '0' : 0x37 + v;
        chars[i] = char(code & 0xFF);
    }
    return FromCp1251(chars, 4);
}

int TakeNumber(QString& text) {
    const qsizetype comma = text.indexOf(u',');
    QString piece;
    if (comma >= 0) {
        piece = text.left(comma);
        text.remove(0, comma + 1);
    } else {
        piece = text;
        text.clear();
    }
    int n = -1;
    return TextToInt(piece.trimmed(), n) ? n : -1;
}

QString LastErrorText() {
#ifdef Q_OS_WIN
    const DWORD code = GetLastError();
    wchar_t buf[256];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buf, DWORD(std::size(buf)), nullptr);
    return QString::fromWCharArray(buf, int(length));
#else
    const int code = errno;
    char buf[256] = {};
    // strerror_r comes in two flavours: XSI returns a status and fills the buffer, GNU returns the text.
    struct Pick {
        static const char* text(int status, const char* buffer) { return status == 0 ? buffer : ""; }
        static const char* text(const char* result, const char*) { return result; }
    };
    const char* text = Pick::text(strerror_r(code, buf, sizeof buf), buf);
    return QString::fromLocal8Bit(text);
#endif
}

quint8 ScrambleByte(quint8 x) {
    quint8 v = x;
    for (int round = 0; round < 2; ++round) {
        v = substitute(v, NibbleTable) ^ KeyA;
        v = substitute(v, NibbleTable) ^ KeyB;
        v = rotateRight(v);
    }
    return v;
}

quint8 UnscrambleByte(quint8 y) {
    quint8 v = y;
    for (int round = 0; round < 2; ++round) {
        v = rotateLeft(v) ^ KeyB;
        v = substitute(v, InverseNibbleTable) ^ KeyA;
        v = substitute(v, InverseNibbleTable);
    }
    return v;
}

void ScrambleBlock(quint8* out, const quint8* in, int n) {
    out[0] = in[0];
    out[1] = ScrambleByte(in[0] ^ in[1]);
    out[2] = ScrambleByte(in[1] ^ in[2]);
    for (int i = 3; i < n; ++i)
        out[i] = ScrambleByte(in[1] ^ in[i] ^ in[i - 1]);
    quint8 sum = in[n - 1];
    for (int i = 1; i < n; ++i)
        sum += out[i];
    out[n] = ScrambleByte(sum);
}

bool UnscrambleBlock(const quint8* in, quint8* out, int n) {
    out[0] = in[0];
    out[1] = UnscrambleByte(in[1]) ^ out[0];
    out[2] = UnscrambleByte(in[2]) ^ out[1];
    for (int i = 3; i < n; ++i)
        out[i] = UnscrambleByte(in[i]) ^ out[1] ^ out[i - 1];
    quint8 sum = out[n - 1];
    for (int i = 1; i < n; ++i)
        sum += in[i];
    return UnscrambleByte(in[n]) == sum;
}

bool IsCp1251Text(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return cp1251Byte(c.unicode()) >= 0; });
}

QByteArray ToCp1251(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane is two code units but one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        const int b = cp1251Byte(c.unicode());
        bytes.append(b >= 0 ? char(b) : '?');
    }
    return bytes;
}

QString FromCp1251(const char* bytes, int count) {
    QString text(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i) {
        const quint8 b = quint8(bytes[i]);
        text[i] = QChar(b < 0x80 ? char16_t(b) : Cp1251High[b - 0x80]);
    }
    return text;
}

QString FromCp1251(const QByteArray& bytes) {
    return FromCp1251(bytes.constData(), int(bytes.size()));
}

bool TextToInt(const QString& text, int& value) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    int base = 10;
    if (text.mid(i, 1) == u"$") {
        base = 16;
        i += 1;
    } else if (text.mid(i, 2).compare(u"0x", Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    const qint64 limit = negative ? -qint64(INT_MIN) : INT_MAX;
    qint64 n = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text.at(i), base);
        if (digit < 0)
            return false;
        n = n * base + digit;
        if (n > limit)
            return false;
    }
    value = int(negative ? -n : n);
    return true;
}
