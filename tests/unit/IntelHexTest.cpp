#include "avrloader/IntelHex.h"
#include "platform/KavorError.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <vector>

namespace {

QStringList hexOf(const std::vector<quint8>& bytes) {
    QStringList text;
    BinToHex(text, bytes.data(), int(bytes.size()), 0);
    return text;
}

QString errorOf(const QStringList& text, int bufferSize = 256) {
    std::vector<quint8> buffer(bufferSize, 0xFF);
    try {
        HexToBin(text, buffer.data(), bufferSize);
    } catch (const KavorError& e) {
        return e.text();
    }
    return QString();
}

TEST(BinToHex, WritesSegmentDataAndEndRecords) {
    EXPECT_EQ(hexOf({0x00}), QStringList({":020000020000FC", ":0100000000FF", ":00000001FF"}));
    EXPECT_EQ(hexOf({}), QStringList({":00000001FF"}));

    std::vector<quint8> twenty(20);
    for (int i = 0; i < 20; ++i)
        twenty[i] = quint8(i);
    EXPECT_EQ(hexOf(twenty), QStringList({":020000020000FC", ":10000000000102030405060708090A0B0C0D0E0F78",
                                          ":0400100010111213A6", ":00000001FF"}));
}

TEST(BinToHex, StartsANewSegmentAtEvery64KiB) {
    const QStringList text = hexOf(std::vector<quint8>(0x10001, 0xAB));
    ASSERT_EQ(text.size(), 1 + 4096 + 2 + 1);
    EXPECT_EQ(text[0], ":020000020000FC");
    EXPECT_EQ(text[1], ":10000000ABABABABABABABABABABABABABABABAB40");
    EXPECT_EQ(text[4096], ":10FFF000ABABABABABABABABABABABABABABABAB51");
    EXPECT_EQ(text[4097], ":020000021000EC");
    EXPECT_EQ(text[4098], ":01000000AB54");
    EXPECT_EQ(text[4099], ":00000001FF");
}

TEST(HexToBin, RestoresWhatBinToHexWrote) {
    for (const int size : {1, 15, 16, 17, 300, 0x10001}) {
        std::vector<quint8> original(size);
        for (quint8& b : original)
            b = quint8(QRandomGenerator::global()->bounded(256));
        std::vector<quint8> restored(size, 0x5A);
        EXPECT_EQ(HexToBin(hexOf(original), restored.data(), size), size) << size;
        EXPECT_EQ(restored, original) << size;
    }
}

TEST(HexToBin, ReportsTheZeroBasedLineOfEachFault) {
    const QString eof = QStringLiteral(":00000001FF");
    const QString data = QStringLiteral(":0100000000FF");
    struct Case {
        const char* what;
        QStringList text;
        const char* error;
    };
    const Case cases[] = {
        {"empty text", {}, "Преждевременный конец файла"},
        {"no end record", {data}, "Преждевременный конец файла"},
        {"blank line", {data, QString(), eof}, "Ошибка в формате файла, строка 1"},
        {"no colon", {QStringLiteral("0100000000FF"), eof}, "Ошибка в формате файла, строка 0"},
        {"type 04 with a right checksum", {QStringLiteral(":020000040000FA"), eof}, "Ошибка в формате файла, строка 0"},
        {"payload cut short", {QStringLiteral(":0200000000"), eof}, "Ошибка в формате файла, строка 0"},
        {"checksum missing", {QStringLiteral(":0100000000"), eof}, "Ошибка в формате файла, строка 0"},
        {"non-hex digit", {QStringLiteral(":01000000G0FF"), eof}, "Ошибка в формате файла, строка 0"},
        {"bad segment", {QStringLiteral(":00000002FE"), eof}, "Ошибка в формате файла, строка 0"},
        {"wrong checksum", {data, QStringLiteral(":0100000000FE"), eof}, "Ошибка контрольной суммы, строка 1"},
        {"last byte at the buffer size", {QStringLiteral(":0200FF000000FF"), eof}, "Выход адреса за границу, строка 0"},
        {"segment beyond the buffer",
         {QStringLiteral(":020000020010EC"), data, eof},
         "Выход адреса за границу, строка 1"},
        {"last byte at the buffer end", {QStringLiteral(":0100FF000000"), eof}, ""},
        {"junk after the end record", {data, eof, QString(), QStringLiteral("junk")}, ""},
        {"text after the checksum", {data + QStringLiteral(" ; comment"), eof}, ""},
        {"start segment record", {QStringLiteral(":0400000300000000F9"), eof}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf(c.text), QString::fromUtf8(c.error)) << c.what;
}

TEST(HexToBin, MeasuresWithoutBufferAndReportsTheRangeStored) {
    // Lower-case digits, a segment record moving the base to 0x100 and data at 0x105..0x107.
    const QStringList text = {":020000020010ec", ":03000500aabbccc7", ":00000001FF"};
    EXPECT_EQ(HexToBin(text, nullptr, 1048576), 0x108);

    std::vector<quint8> buffer(0x200, 0x11);
    int low = -5;
    int high = -5;
    EXPECT_EQ(HexToBin(text, buffer.data(), int(buffer.size()), &low, &high), 0x108);
    EXPECT_EQ(low, 0x105);
    EXPECT_EQ(high, 0x107);
    EXPECT_EQ(buffer[0x104], 0x11);
    EXPECT_EQ(buffer[0x105], 0xAA);
    EXPECT_EQ(buffer[0x107], 0xCC);
    EXPECT_EQ(buffer[0x108], 0x11);

    EXPECT_EQ(HexToBin({":020000020000FC", ":00000001FF"}, buffer.data(), 0x200, &low, &high), 0);
    EXPECT_EQ(low, 0x1FF);
    EXPECT_EQ(high, 0);
}

} // namespace
