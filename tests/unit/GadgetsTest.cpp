#include "config/Gadgets.h"

#include <gtest/gtest.h>

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<quint8>;

Bytes digitsOf(std::initializer_list<int> head, int size) {
    Bytes bytes(size, 0xFF);
    int i = 0;
    for (int b : head)
        bytes[i++] = quint8(b);
    return bytes;
}

TEST(GadgetsTest, PhoneToDigitsCases) {
    struct Case {
        QString text;
        int size;
        bool ok;
        Bytes bytes;
    };
    const QList<Case> cases = {
        {"8(495)", 14, false, digitsOf({8}, 14)},
        {"8w12", 14, true, digitsOf({8, 15, 1, 2}, 14)},
        {" *#W0 ", 6, true, digitsOf({11, 12, 15, 0}, 6)},
        {"1234567890123", 14, true, digitsOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3}, 14)},
        {"12345678901234", 14, false, digitsOf({}, 14)},
        {"", 6, true, digitsOf({}, 6)},
        {"8-1", 6, false, digitsOf({8}, 6)},
    };
    for (const Case& c : cases) {
        Bytes buf(c.size, 0x00);
        EXPECT_EQ(PhoneToDigits(c.text, buf.data(), c.size), c.ok) << c.text.toStdString();
        EXPECT_EQ(buf, c.bytes) << c.text.toStdString();
    }
}

TEST(GadgetsTest, IsValidPhoneCases) {
    struct Case {
        QString text;
        int size;
        bool valid;
    };
    const QList<Case> cases = {
        {"8W#*1", 6, true},   {"8w#*1", 6, true},    {"123456", 6, false}, {" 12345 ", 6, true},
        {"8-495", 14, false}, {"8(495)", 14, false}, {"", 14, true},       {"+7", 14, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidPhone(c.text, c.size), c.valid) << c.text.toStdString();
}

TEST(GadgetsTest, DigitsToPhoneCases) {
    struct Case {
        Bytes bytes;
        QString text;
    };
    const QList<Case> cases = {
        {{1, 2, 0xFF, 3}, "12"},
        {{0xFF}, ""},
        {{8, 15, 1, 2, 0xFF}, "8W12"},
        {{11, 12, 10, 13, 14, 0}, "*#:=>0"},
        {{1, 16, 2}, "1"},
        {{1, 0x80, 2}, "1"},
        {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4}, "98765432101234"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DigitsToPhone(c.bytes.data(), int(c.bytes.size())), c.text);
    const quint8 longer[] = {1, 2, 3};
    EXPECT_EQ(DigitsToPhone(longer, 2), QString("12"));
}

TEST(GadgetsTest, TextToAddressCases) {
    struct Case {
        QString text;
        bool ok;
        Bytes bytes; // expected content of a buffer that started as AA AA AA AA
    };
    const QList<Case> cases = {
        {"192.168.0.1", true, {0xC0, 0xA8, 0x00, 0x01}},
        {"", true, {0, 0, 0, 0}},
        {"0.0.0.0", true, {0, 0, 0, 0}},
        {"255.255.255.255", true, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"192.168.0", false, {0xC0, 0xA8, 0xAA, 0xAA}},
        {"256.0.0.1", false, {0xAA, 0xAA, 0xAA, 0xAA}},
        {"10.0.0.256", false, {10, 0, 0, 0xAA}},
        {"1.2.3.4.5", false, {1, 2, 3, 0xAA}},
        {"1. 2.3.4", false, {1, 0xAA, 0xAA, 0xAA}},
        {"1..3.4", false, {1, 0xAA, 0xAA, 0xAA}},
        {"a.b.c.d", false, {0xAA, 0xAA, 0xAA, 0xAA}},
    };
    for (const Case& c : cases) {
        Bytes buf(4, 0xAA);
        EXPECT_EQ(TextToAddress(c.text, buf.data()), c.ok) << c.text.toStdString();
        EXPECT_EQ(buf, c.bytes) << c.text.toStdString();
        EXPECT_EQ(TextToAddress(c.text, nullptr), c.ok) << c.text.toStdString();
    }
}

TEST(GadgetsTest, AddressToTextCases) {
    const quint8 zero[] = {0, 0, 0, 0};
    const quint8 host[] = {0x0A, 0, 0, 1};
    const quint8 last[] = {0, 0, 0, 1};
    const quint8 high[] = {255, 254, 128, 0};
    EXPECT_EQ(AddressToText(zero), QString());
    EXPECT_EQ(AddressToText(host), QString("10.0.0.1"));
    EXPECT_EQ(AddressToText(last), QString("0.0.0.1"));
    EXPECT_EQ(AddressToText(high), QString("255.254.128.0"));
}

TEST(GadgetsTest, TextToIdentCases) {
    struct Case {
        QString text;
        bool ok;
        Bytes bytes;
    };
    const QList<Case> cases = {
        {"1230", true, {1, 2, 3, 10}},    {"12AB", true, {1, 2, 10, 11}},   {"12ab", true, {1, 2, 10, 11}},
        {"FFFF", true, {15, 15, 15, 15}}, {"0000", true, {10, 10, 10, 10}}, {"", true, {0, 0, 0, 0}},
        {"123", false, {0, 0, 0, 0}},     {"12345", false, {0, 0, 0, 0}},   {"12G4", false, {0, 0, 0, 0}},
        {"-123", false, {0, 0, 0, 0}},    {"0x12", false, {0, 0, 0, 0}},    {" 123", false, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Bytes buf(4, 0xAA);
        EXPECT_EQ(TextToIdent(c.text, buf.data()), c.ok) << c.text.toStdString();
        EXPECT_EQ(buf, c.bytes) << c.text.toStdString();
        EXPECT_EQ(TextToIdent(c.text, nullptr), c.ok) << c.text.toStdString();
    }
}

TEST(GadgetsTest, IdentToTextCases) {
    struct Case {
        Bytes bytes;
        QString text;
    };
    const QList<Case> cases = {
        {{1, 2, 3, 10}, "1230"},
        {{0, 0, 0, 0}, "0000"},
        {{1, 2, 10, 11}, "120B"},
        {{12, 13, 14, 15}, "CDEF"},
        {{0xFF, 16, 9, 0x80}, QString("/G9") + QChar(0x00B0)}, // signed -1, 16, 9, -128
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdentToText(c.bytes.data()), c.text);
}

TEST(GadgetsTest, TakeNumberWalksAList) {
    QString text = "1, 0,1";
    EXPECT_EQ(TakeNumber(text), 1);
    EXPECT_EQ(text, QString(" 0,1"));
    EXPECT_EQ(TakeNumber(text), 0);
    EXPECT_EQ(text, QString("1"));
    EXPECT_EQ(TakeNumber(text), 1);
    EXPECT_EQ(text, QString());

    text = "x,1";
    EXPECT_EQ(TakeNumber(text), -1);
    EXPECT_EQ(text, QString("1"));

    text = ",5";
    EXPECT_EQ(TakeNumber(text), -1);
    EXPECT_EQ(text, QString("5"));

    text = "";
    EXPECT_EQ(TakeNumber(text), -1);
    EXPECT_EQ(text, QString());

    text = " 42 ";
    EXPECT_EQ(TakeNumber(text), 42);
    EXPECT_EQ(text, QString());
}

TEST(GadgetsTest, TextToIntCases) {
    struct Case {
        QString text;
        bool ok;
        int value;
    };
    const QList<Case> cases = {
        {"0", true, 0},
        {"255", true, 255},
        {"-1", true, -1},
        {"+7", true, 7},
        {"007", true, 7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
        {"$FF", true, 255},
        {"0x1A2b", true, 0x1A2B},
        {"0X10", true, 16},
        {"-$10", true, -16},
        {"0x", false, 0},
        {"$", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"12a", false, 0},
        {"1.5", false, 0},
        {"0x-1", false, 0},
        {QString::fromUtf8("١"), false, 0}, // a non-ASCII digit is not a digit here
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(TextToInt(c.text, value), c.ok) << c.text.toStdString();
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.text.toStdString();
    }
}

TEST(GadgetsTest, LastErrorTextIsTheSystemsMessage) {
    errno = ENOENT;
    EXPECT_EQ(LastErrorText(), QString::fromLocal8Bit(std::strerror(ENOENT)));
    errno = EACCES;
    EXPECT_EQ(LastErrorText(), QString::fromLocal8Bit(std::strerror(EACCES)));
}

TEST(GadgetsTest, ScrambleByteIsABijectionUndoneByUnscramble) {
    std::vector<bool> seen(256, false);
    for (int x = 0; x < 256; ++x) {
        const quint8 y = ScrambleByte(quint8(x));
        EXPECT_FALSE(seen[y]) << "two bytes scramble to " << int(y);
        seen[y] = true;
        EXPECT_EQ(int(UnscrambleByte(y)), x);
    }
}

// Files and firmware images already written depend on the scrambler's constants: these outputs must never
// change.
TEST(GadgetsTest, ScramblerOutputIsFixed) {
    const Bytes in = {0x46, 0x00, 0x00, 0x00, 'K', 'a', 'v', 'o', 'r', 0x00};
    const Bytes expected = {0x46, 0x86, 0x12, 0x12, 0x5F, 0x03, 0xC2, 0xC3, 0xB3, 0x8F, 0x25};
    Bytes out(in.size() + 1);
    ScrambleBlock(out.data(), in.data(), int(in.size()));
    EXPECT_EQ(out, expected);
    const Bytes bytes = {0x12, 0xAD, 0x10, 0x6B, 0xD2};
    EXPECT_EQ(
        Bytes({ScrambleByte(0x00), ScrambleByte(0x01), ScrambleByte(0x55), ScrambleByte(0xAA), ScrambleByte(0xFF)}),
        bytes);
}

TEST(GadgetsTest, ScrambleBlockRoundTripsRandomBlocks) {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<int> sizes;
    for (int n = 3; n <= 64; ++n)
        sizes.push_back(n);
    std::uniform_int_distribution<int> size(65, 4095);
    for (int i = 0; i < 100; ++i)
        sizes.push_back(size(random));
    sizes.push_back(4096);
    for (int n : sizes) {
        Bytes in(n);
        for (quint8& b : in)
            b = quint8(byte(random));
        Bytes scrambled(n + 1);
        ScrambleBlock(scrambled.data(), in.data(), n);
        Bytes out(n, 0);
        ASSERT_TRUE(UnscrambleBlock(scrambled.data(), out.data(), n)) << "n = " << n;
        ASSERT_EQ(out, in) << "n = " << n;
    }
}

TEST(GadgetsTest, TamperedCheckByteIsDetectedWithOutputComplete) {
    for (const Bytes& in : {Bytes{1, 2, 3}, Bytes{0, 0, 0, 0, 0, 0, 0, 0}, Bytes{0xFF, 0x10, 0x7E, 0x00, 0x42}}) {
        const int n = int(in.size());
        Bytes scrambled(n + 1);
        ScrambleBlock(scrambled.data(), in.data(), n);
        for (int other = 0; other < 256; ++other) {
            if (other == scrambled[n])
                continue;
            Bytes tampered = scrambled;
            tampered[n] = quint8(other);
            Bytes out(n, 0);
            EXPECT_FALSE(UnscrambleBlock(tampered.data(), out.data(), n)) << "check byte " << other;
            EXPECT_EQ(out, in);
        }
    }
}

TEST(GadgetsTest, Cp1251RoundTripsEveryByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = FromCp1251(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_TRUE(IsCp1251Text(text));
    EXPECT_EQ(ToCp1251(text), all);
    EXPECT_EQ(FromCp1251(all.constData() + 0xC0, 3), QString::fromUtf8("АБВ"));
}

TEST(GadgetsTest, Cp1251AgreesWithQtsCodec) {
    QStringDecoder decoder("windows-1251");
    QStringEncoder encoder("windows-1251");
    ASSERT_TRUE(decoder.isValid());
    ASSERT_TRUE(encoder.isValid());
    // The code page leaves 0x98 unassigned; both map it to U+0098, the one choice that round trips.
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        const QString mine = FromCp1251(byte);
        const QString qts = decoder.decode(byte);
        EXPECT_EQ(mine, qts) << "byte 0x" << std::hex << b;
        EXPECT_EQ(QByteArray(encoder.encode(mine)), byte) << "byte 0x" << std::hex << b;
    }
}

TEST(GadgetsTest, TextOutsideCp1251IsRefusedAndReplaced) {
    struct Case {
        QString text;
        bool representable;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {QString::fromUtf8("Привет, ГТС №1"), true,
         QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2, \xC3\xD2\xD1 \xB9"
                    "1")},
        {QString::fromUtf8("ёЁ€"), true, QByteArray("\xB8\xA8\x88")},
        {QString::fromUtf8("日本"), false, QByteArray("??")},
        {QString::fromUtf8("a😀b"), false, QByteArray("a?b")},
        {QString::fromUtf8("ä"), false, QByteArray("?")},
        {QString(), true, QByteArray()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsCp1251Text(c.text), c.representable) << c.text.toStdString();
        EXPECT_EQ(ToCp1251(c.text), c.bytes) << c.text.toStdString();
    }
}

} // namespace
