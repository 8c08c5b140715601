#include "config/TConfig.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TConfig storeOf(int deviceType) {
    TConfig config;
    if (deviceType == 0)
        config.LoadDefaultImage();
    else
        config.SetDeviceType(deviceType);
    return config;
}

} // namespace

TEST(TConfig, NewStoreIsEmptyFirstGeneration) {
    TConfig config;
    EXPECT_EQ(0, config.DeviceType());
    EXPECT_FALSE(config.SetDeviceType(0));
    EXPECT_TRUE(config.Lines().isEmpty());
}

TEST(TConfig, SwitchingGenerationGivesEveryCodedRowBlankAtLevelZero) {
    TConfig config;
    ASSERT_TRUE(config.SetDeviceType(1));
    ASSERT_EQ(51, config.Lines().size());
    EXPECT_EQ(QString("M06-1"), config.Lines().first().code);
    EXPECT_EQ(QString("#L"), config.Lines().last().code);
    for (const TConfigLine& line : config.Lines()) {
        EXPECT_EQ(QString(" "), line.value) << qPrintable(line.code);
        EXPECT_EQ(0, line.level) << qPrintable(line.code);
    }

    ASSERT_TRUE(config.SetValue("M20", "5", 1));
    EXPECT_FALSE(config.SetDeviceType(1));
    EXPECT_EQ(QString("5"), config.GetValue("M20"));

    ASSERT_TRUE(config.SetDeviceType(0));
    EXPECT_EQ(43, config.Lines().size());
    EXPECT_EQ(QString("$01"), config.Lines().first().code);
    EXPECT_EQ(QString(), config.GetValue("M20"));
}

TEST(TConfig, SetValueValidatesByKind) {
    const struct {
        int deviceType;
        const char* code;
        const char* value;
        bool accepted;
    } cases[] = {
        {1, "M20", "99", true},
        {1, "M20", "100", false},
        {0, "$01", "255", true},
        {0, "$01", "256", false},
        {0, "$01", "-1", false},
        {0, "$01", "abc", false},
        {0, "$01", "", false},
        {0, "$01", "0x10", false}, // kept as decimal text: it goes unchanged into device commands
        {0, "$01", "$10", false},
        {0, "$01", " 5", false},
        {0, "$01", "007", true},
        {0, "$15", "65535", true},
        {0, "$15", "65536", false},
        {0, "M11", "65535", true},
        {1, "M06-1", "7", true}, // only the numeric range counts, not the list length
        {0, "G04", "1234", true},
        {0, "G04", "12345", false},
        {0, "G01", "1234567", true},
        {0, "G01", "12345678", false},
        {0, "P10", "8W#*1", true},
        {0, "P10", "8w#*1", true},
        {0, "P10", "123456", false},
        {0, "P10", "8-495", false},
        {0, "P10", "8(495", false},
        {0, "S03", "", true},
        {0, "S03", "10.0.0.1", true},
        {0, "S03", "10.0.0", false},
        {0, "S03", "10.0.0.256", false},
        {0, "I01", "", true},
        {0, "I01", "12AB", true},
        {0, "I01", "123", false},
        {0, "I01", "12345", false},
        {0, "I01", "12G4", false},
        {0, "B03", "*100#", true},
        {0, "B03", "Баланс", true},     // Cyrillic is one byte a character in the device's code page
        {0, "B03", "Баланс€€€", false}, // nine characters do not leave room for the terminator
        {0, "B03", "日本", false},      // not representable in the device's code page
        {1, "G03", "internet.€", true},
        {1, "G03", "a\r\n1M20=5", false}, // would split the line it is saved and sent in
        {1, "$01", "5", false},           // a first-generation code in the second generation
        {0, "M06-1", "1", false},         // and the other way round
        {1, "m06-1", "1", false},         // codes keep their catalogue spelling
    };
    for (const auto& c : cases) {
        TConfig config = storeOf(c.deviceType);
        const QString code = QString::fromUtf8(c.code);
        const QString before = config.GetValue(code);
        EXPECT_EQ(c.accepted, config.SetValue(code, QString::fromUtf8(c.value), 1)) << c.code << "=" << c.value;
        int level = -1;
        const QString after = config.GetValue(code, &level);
        if (c.accepted) {
            EXPECT_EQ(QString::fromUtf8(c.value), after) << c.code;
            EXPECT_EQ(1, level) << c.code;
        } else {
            EXPECT_EQ(before, after) << c.code;
        }
    }
}

TEST(TConfig, LinesAreFoundIgnoringCaseButCatalogueLookupsRespectIt) {
    TConfig config = storeOf(1);
    ASSERT_TRUE(config.SetValue("M06-1", "1", 2));
    int level = -1;
    EXPECT_EQ(QString("1"), config.GetValue("m06-1", &level));
    EXPECT_EQ(2, level);
    EXPECT_FALSE(config.SetAccess("m06-1", 1));
    EXPECT_TRUE(config.SetAccess("M06-1", 0));
    EXPECT_EQ(QString(), config.GetValue("$01", &level));
    EXPECT_EQ(0, level);
    EXPECT_FALSE(config.SetAccess("$01", 1));
}

TEST(TConfig, ValuesReadBackTrimmedAndStoredAsGiven) {
    TConfig config = storeOf(1);
    EXPECT_EQ(QString(), config.GetValue("P20")); // a fresh line holds a single blank
    ASSERT_TRUE(config.SetValue("G03", " apn ", 0));
    EXPECT_EQ(QString("apn"), config.GetValue("G03"));
    const auto rawValue = [&config](const QString& code) {
        for (const TConfigLine& line : config.Lines()) {
            if (line.code == code)
                return line.value;
        }
        return QString("(no line)");
    };
    EXPECT_EQ(QString(" apn "), rawValue("G03"));
    ASSERT_TRUE(config.SetValue("G03", "", 0));
    EXPECT_EQ(QString(""), rawValue("G03")); // the line stays, with nothing after "="
}
