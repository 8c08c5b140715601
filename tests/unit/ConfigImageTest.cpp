#include "config/TConfig.h"
#include "platform/KavorError.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <array>

namespace {

struct Image {
    std::array<quint8, MainBlockSize> main{};
    std::array<quint8, ExtBlockSize> ext{};
    quint8 sim = 0;

    bool encode(const TConfig& config) { return config.ToImage(main.data(), ext.data(), &sim); }
    void decodeInto(TConfig& config, bool fromDevice, int version) const {
        config.FromImage(fromDevice, main.data(), version, &sim, ext.data());
    }
};

TConfig defaults() {
    TConfig config;
    config.LoadDefaultImage();
    return config;
}

QStringList firstGenerationCodes() {
    QStringList codes;
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (row->has(pfGen1))
            codes.append(row->code());
    }
    return codes;
}

// A valid value that no parameter of the default configuration holds.
QString markerValue(const TParamDesc& row) {
    switch (row.Kind) {
    case pkAddress:
        return "1.1.1.1";
    case pkIdent:
        return "1111";
    case pkText:
        return "7";
    default:
        return "3";
    }
}

// A valid value of the row's kind, different for each seed.
QString randomValue(const TParamDesc& row, QRandomGenerator& random) {
    switch (row.Kind) {
    case pkNumber:
    case pkChoice:
        if (row.has(pfInvert))
            return QString::number(random.bounded(10));
        if (row.has(pfHours))
            return QString::number(random.bounded(19));
        return QString::number(random.bounded(row.Size == 2 ? 65536 : row.Size == 1 ? 256 : 2));
    case pkText: {
        const QString alphabet = row.has(pfPhone) ? QString("0123456789W*#") : QString("abcXYZ09*#Жж ");
        const int maxLength = row.code() == "G04" ? row.Size : row.Size - 1;
        QString text;
        for (int n = random.bounded(maxLength + 1); n > 0; --n)
            text += alphabet.at(random.bounded(alphabet.size()));
        return text;
    }
    case pkAddress:
        return random.bounded(4) == 0 ? QString()
                                      : QString("%1.%2.%3.%4")
                                            .arg(random.bounded(256))
                                            .arg(random.bounded(256))
                                            .arg(random.bounded(256))
                                            .arg(1 + random.bounded(255));
    case pkIdent:
        return QString("%1").arg(random.bounded(0x10000), 4, 16, QChar('0')).toUpper();
    }
    return {};
}

} // namespace

TEST(ConfigImage, DefaultConfiguration) {
    const TConfig config = defaults();
    EXPECT_EQ(0, config.DeviceType());
    EXPECT_EQ(43, config.Lines().size());
    const struct {
        const char* code;
        const char* value;
    } expected[] = {
        {"$01", "6"},     {"$02", "12"},         {"$08", "2"}, {"$09", "2"},  {"M01-1", "1"},  {"$03", "0"},
        {"$04", "1"},     {"P10", ""},           {"P11", ""},  {"$29", ""},   {"G04", "0000"}, {"M10", "0"},
        {"M11", "130"},   {"S03", "192.0.2.10"}, {"S04", ""},  {"$27", "1"},  {"M12", "0"},    {"I01", "1234"},
        {"$22", "0"},     {"$10", "0"},          {"$18", "0"}, {"$19", "0"},  {"$13", "1"},    {"M01-2", "0"},
        {"B03", "*100#"}, {"$14", "1"},          {"$15", "0"}, {"$16", "2"},  {"$17", "1"},    {"$11", ""},
        {"$12", ""},      {"$25", ""},           {"$26", ""},  {"G01", ""},   {"G02", ""},     {"$28", "internet"},
        {"$20", "0"},     {"$21", "0"},          {"$23", ""},  {"$05", "24"}, {"$24", "1"},    {"$06", "0"},
        {"$07", "1"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(QString::fromUtf8(e.value), config.GetValue(e.code)) << e.code;
}

TEST(ConfigImage, SecondGenerationStoreIsRefused) {
    TConfig config;
    config.SetDeviceType(1);
    Image image;
    try {
        image.decodeInto(config, false, ImageLayoutVersion);
        FAIL() << "FromImage accepted a second-generation store";
    } catch (const KavorError& e) {
        EXPECT_EQ(QString("Недопустимая конфигурация"), e.text());
    }
    EXPECT_THROW(image.encode(config), KavorError);
    EXPECT_EQ(QString(), config.GetValue("$01"));
}

// Which parameters a device read of each layout version takes from the blocks, and which keep the values
// the store had.
TEST(ConfigImage, LayoutVersionsDecodeOnlyWhatTheyHold) {
    TConfig source = defaults();
    for (const char* phone : {"$11", "$12", "$25", "$26"})
        ASSERT_TRUE(source.SetValue(phone, "777", 0));
    Image image;
    ASSERT_TRUE(image.encode(source));
    // The old layouts keep the first fixed PSTN phone where the alarm input lives now.
    const quint8 oldPhone[14] = {5, 5, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

    const QStringList since53 = {"$27", "S03", "S04", "G01", "G02", "$28", "M10", "M11"};
    const struct {
        int version;
        QStringList kept;
    } cases[] = {
        {0, QStringList{"$12", "$25", "$26", "M12"} + since53},
        {39, QStringList{"$12", "$25", "$26", "M12"} + since53},
        {40, QStringList{"$25", "$26", "M12"} + since53},
        {41, QStringList{"M12"} + since53},
        {53, {"M12"}},
        {55, {}},
        {70, {}},
    };
    for (const auto& c : cases) {
        Image versioned = image;
        if (c.version < 40)
            std::copy(std::begin(oldPhone), std::end(oldPhone), versioned.main.begin() + 37);
        TConfig target = defaults();
        for (const TParamDesc* row = ParamTable; row->Name; ++row) {
            if (row->has(pfGen1)) {
                ASSERT_TRUE(target.SetValue(row->code(), markerValue(*row), 0)) << qPrintable(row->code());
            }
        }
        const TConfig before = target;
        versioned.decodeInto(target, true, c.version);
        for (const QString& code : firstGenerationCodes()) {
            const bool kept = c.kept.contains(code);
            QString expected = kept ? before.GetValue(code) : source.GetValue(code);
            if (code == "$11" && c.version < 40)
                expected = "555";
            EXPECT_EQ(expected, target.GetValue(code)) << c.version << " " << qPrintable(code);
        }
    }
}

TEST(ConfigImage, OldPhoneRuleAppliesOnlyToDeviceReads) {
    TConfig source = defaults();
    Image image;
    ASSERT_TRUE(image.encode(source));
    image.main[37] = 4;
    image.main[38] = 0xFF;
    TConfig fromFile = defaults();
    ASSERT_TRUE(fromFile.SetValue("$11", "12", 0));
    image.decodeInto(fromFile, false, 0);
    EXPECT_EQ(QString("12"), fromFile.GetValue("$11"));
    image.decodeInto(fromFile, true, 0);
    EXPECT_EQ(QString("4"), fromFile.GetValue("$11"));
}

TEST(ConfigImage, LevelTwoKeepsItsValueOnDeviceReadsOnly) {
    TConfig source = defaults();
    ASSERT_TRUE(source.SetValue("$29", "89001234567", 0));
    Image image;
    ASSERT_TRUE(image.encode(source));

    TConfig target = defaults();
    ASSERT_TRUE(target.SetValue("$29", "123", 2));
    image.decodeInto(target, true, ImageLayoutVersion);
    int level = -1;
    EXPECT_EQ(QString("123"), target.GetValue("$29", &level));
    EXPECT_EQ(2, level);
    image.decodeInto(target, false, ImageLayoutVersion);
    EXPECT_EQ(QString("89001234567"), target.GetValue("$29", &level));
    EXPECT_EQ(2, level);
}

TEST(ConfigImage, FieldEncodings) {
    const struct {
        const char* code;
        const char* value;
        int offset; // into the main block, or -1 for the SIM byte
        std::vector<quint8> bytes;
    } cases[] = {
        {"$22", "1", -1, {0x55}},
        {"$22", "0", -1, {0x00}},
        {"$16", "2", 73, {0x20, 0x1C}},
        {"$16", "18", 73, {0x20, 0xFD}},
        {"$08", "0", 2, {9}},
        {"$08", "9", 2, {0}},
        {"$15", "258", 71, {0x02, 0x01}},
        {"G04", "1234", 33, {'1', '2', '3', '4'}},
        {"G04", "12", 33, {'1', '2', 0, 0}},
        {"$28", "my.internet", 150, {'m', 'y', '.', '$', 0}},
        {"I01", "", 51, {0, 0, 0, 0}},
        {"I01", "1203", 51, {1, 2, 10, 3}},
        {"S03", "10.0.0.1", 40, {10, 0, 0, 1}},
        {"$29", "8w12", 19, {8, 15, 1, 2, 0xFF}},
        {"B03", "Жд", 60, {0xC6, 0xE4, 0}},
    };
    for (const auto& c : cases) {
        TConfig config = defaults();
        ASSERT_TRUE(config.SetValue(c.code, QString::fromUtf8(c.value), 0)) << c.code;
        Image image;
        image.main.fill(0xAA);
        ASSERT_TRUE(image.encode(config)) << c.code;
        const quint8* at = c.offset < 0 ? &image.sim : image.main.data() + c.offset;
        EXPECT_EQ(c.bytes, std::vector<quint8>(at, at + c.bytes.size())) << c.code << "=" << c.value;

        TConfig back = defaults();
        image.decodeInto(back, false, ImageLayoutVersion);
        const QString expected =
            QString::fromUtf8(c.code) == "I01" && !*c.value ? QString("0000") : QString::fromUtf8(c.value).toUpper();
        EXPECT_EQ(expected, back.GetValue(c.code).toUpper()) << c.code;
    }
}

TEST(ConfigImage, FieldDecodings) {
    Image image;
    Image encoded;
    ASSERT_TRUE(encoded.encode(defaults()));
    const struct {
        int offset;
        std::vector<quint8> bytes;
        const char* code;
        const char* value;
    } cases[] = {
        {19, {0xFF}, "$29", ""},
        {19, {8, 15, 1, 2, 0xFF}, "$29", "8W12"},
        {150, {'$', 'a', 'b', 0}, "$28", "internetab"},
        {73, {0x1F, 0x1C}, "$16", "1"}, // 7199 seconds
        {51, {1, 2, 3, 10}, "I01", "1230"},
        {2, {0}, "$08", "9"},
    };
    for (const auto& c : cases) {
        image = encoded;
        std::copy(c.bytes.begin(), c.bytes.end(), image.main.begin() + c.offset);
        TConfig config = defaults();
        image.decodeInto(config, false, ImageLayoutVersion);
        EXPECT_EQ(QString::fromUtf8(c.value), config.GetValue(c.code)) << c.code;
    }
    image = encoded;
    image.sim = 0x01;
    TConfig config = defaults();
    ASSERT_TRUE(config.SetValue("$22", "1", 0));
    image.decodeInto(config, false, ImageLayoutVersion);
    EXPECT_EQ(QString("0"), config.GetValue("$22"));
}

// Values the store accepts but the field cannot hold are refused rather than written wrapped.
TEST(ConfigImage, ValuesTheFieldCannotHoldAreRefused) {
    for (const auto& [code, value] :
         {std::pair{"$16", "19"}, std::pair{"$16", "65535"}, std::pair{"$08", "10"}, std::pair{"$08", "255"}}) {
        TConfig config = defaults();
        ASSERT_TRUE(config.SetValue(code, value, 0)) << code;
        Image image;
        EXPECT_FALSE(image.encode(config)) << code << "=" << value;
    }
}

TEST(ConfigImage, EncodingRandomConfigurationsRoundTripsEveryParameterByte) {
    QRandomGenerator random(20261211);
    for (int round = 0; round < 200; ++round) {
        TConfig config = defaults();
        for (const TParamDesc* row = ParamTable; row->Name; ++row) {
            if (row->has(pfGen1) && !row->has(pfReadOnly)) {
                ASSERT_TRUE(config.SetValue(row->code(), randomValue(*row, random), 0)) << qPrintable(row->code());
            }
        }
        Image first;
        ASSERT_TRUE(first.encode(config));
        TConfig decoded = defaults();
        first.decodeInto(decoded, false, ImageLayoutVersion);
        Image second;
        ASSERT_TRUE(second.encode(decoded));
        EXPECT_EQ(first.main, second.main);
        EXPECT_EQ(first.ext, second.ext);
        EXPECT_EQ(first.sim, second.sim);
    }
}

TEST(ConfigImage, AnyBytesDecode) {
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        Image image;
        for (quint8& b : image.main)
            b = quint8(random.bounded(256));
        for (quint8& b : image.ext)
            b = quint8(random.bounded(256));
        image.sim = quint8(random.bounded(256));
        TConfig config = defaults();
        ASSERT_NO_THROW(image.decodeInto(config, true, int(random.bounded(80))));
        EXPECT_EQ(43, config.Lines().size());
    }
}
