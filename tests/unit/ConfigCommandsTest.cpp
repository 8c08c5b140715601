#include "config/TConfig.h"
#include "platform/KavorError.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <map>
#include <string>
#include <vector>

namespace {

using Values = std::map<std::string, std::string>;

std::vector<std::string> strings(const QStringList& list) {
    std::vector<std::string> result;
    for (const QString& s : list)
        result.push_back(s.toStdString());
    return result;
}

std::string valueOf(const TConfig& config, const char* code) {
    return config.GetValue(code).toStdString();
}

// A second-generation store with a valid, row-dependent value in every parameter a device is written.
TConfig filledStore() {
    TConfig config;
    config.SetDeviceType(1);
    int i = 0;
    for (const TParamDesc* row = ParamTable; row->Name; ++row, ++i) {
        if (!row->has(pfGen2) || row->has(pfReadOnly))
            continue;
        QString value;
        switch (row->Kind) {
        case pkNumber:
        case pkChoice:
            value = QString::number(row->has(pfBit) ? i % 2 : i % 3);
            break;
        case pkText:
            value = row->has(pfPhone) ? QString("8W1#")
                    : row->Size > 4   ? QString::fromUtf8("Ок %1").arg(i)
                                      : QString("12%1").arg(i % 10);
            break;
        case pkAddress:
            value = QString("10.0.%1.%2").arg(i).arg(200 + i % 50);
            break;
        case pkIdent:
            value = "12AB";
            break;
        }
        EXPECT_TRUE(config.SetValue(row->code(), value, 0)) << row->Code << " = " << value.toStdString();
    }
    return config;
}

class ConfigCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_config.SetDeviceType(1)); }

    TConfig m_config;
};

TEST_F(ConfigCommandsTest, ReadCodesAreTheBaseCodesInCatalogueOrder) {
    QStringList list = {"stale"};
    m_config.GetReadCodes(list);
    const std::vector<std::string> expected = {"M06", "M01", "P10", "P11", "M04", "M02", "M05", "M07", "M08", "M20",
                                               "M21", "M22", "M23", "I01", "M03", "P20", "P21", "S01", "S02", "S03",
                                               "S04", "G01", "G02", "G03", "M09", "N04", "N01", "N02", "N03", "B03",
                                               "B04", "P01", "P02", "P03", "E01", "M10", "M11", "M12", "G04"};
    EXPECT_EQ(strings(list), expected);
}

TEST_F(ConfigCommandsTest, ApplyReplyCases) {
    struct Case {
        const char* code;
        const char* reply;
        bool ok;
        Values values; // every code not listed keeps its blank value
    };
    const std::vector<Case> cases = {
        {"M06", "1,0,1,1", true, {{"M06-1", "1"}, {"M06-2", "0"}, {"M06-3", "1"}, {"M06-4", "1"}}},
        {"M06", "1,0", true, {{"M06-1", "1"}, {"M06-2", "0"}}},
        {"M06", "1,0,1,1,1", false, {{"M06-1", "1"}, {"M06-2", "0"}, {"M06-3", "1"}, {"M06-4", "1"}}},
        {"M06", "1,x,1", false, {{"M06-1", "1"}}},
        {"M23", "9", true, {{"M23-1", "1"}, {"M23-2", "0"}, {"M23-3", "0"}, {"M23-4", "1"}}},
        {"M23", "6,junk", true, {{"M23-1", "0"}, {"M23-2", "1"}, {"M23-3", "1"}, {"M23-4", "0"}}},
        {"M23", "-1", false, {}},
        {"M02", "1,2", false, {{"M02", "1"}}},
        {"M20", "x", false, {}},
        {"M20", " 7 ", true, {{"M20", "7"}}},
        {"M20", "99999999999", false, {}},
        {"S01", "0,0,0,0", true, {}},
        {"S01", "10,0,0,1", true, {{"S01", "10.0.0.1"}}},
        {"S01", "10,0,0", false, {}},
        {"S01", "256,0,0,1", false, {}},
        {"I01", "1,2,3,10", true, {{"I01", "123A"}}},
        {"I01", "0,0,0,0", true, {{"I01", "0000"}}},
        {"I01", "15,14,13,12", true, {{"I01", "FEDC"}}},
        {"I01", "1,2,3,16", false, {}},
        {"I01", "1,2,3", false, {}},
        {"P20", "  8W12#  ", true, {{"P20", "8W12#"}}},
        {"G03", "", true, {}},
        {"#B", "15", true, {{"#B", "15"}}},
        {"#A", "192,168,1,2", true, {{"#A", "192.168.1.2"}}},
        {"Z99", "1", false, {}},
        {"m06", "1,1,1,1", false, {}},
        {"$01", "1", false, {}},
    };
    for (const Case& c : cases) {
        TConfig config;
        config.SetDeviceType(1);
        EXPECT_EQ(config.ApplyReply(c.code, c.reply), c.ok) << c.code << " " << c.reply;
        ASSERT_EQ(config.Lines().size(), 51) << c.code << " " << c.reply;
        for (const TConfigLine& line : config.Lines()) {
            const auto it = c.values.find(line.code.toStdString());
            EXPECT_EQ(line.value.toStdString(), it == c.values.end() ? " " : it->second)
                << c.code << " " << c.reply << ": " << line.code.toStdString();
        }
    }
}

TEST_F(ConfigCommandsTest, ApplyReplyKeepsValuesAtLevelTwoAndLevelsEverywhere) {
    ASSERT_TRUE(m_config.SetValue("M06-2", "0", alNoRead));
    ASSERT_TRUE(m_config.SetValue("M06-3", "0", alNoChange));
    ASSERT_TRUE(m_config.SetValue("S01", "1.2.3.4", alNoRead));

    EXPECT_TRUE(m_config.ApplyReply("M06", "1,1,1,1"));
    EXPECT_TRUE(m_config.ApplyReply("S01", "5,6,7,8"));

    const Values expected = {{"M06-1", "1"}, {"M06-2", "0"}, {"M06-3", "1"}, {"M06-4", "1"}, {"S01", "1.2.3.4"}};
    for (const auto& [code, value] : expected)
        EXPECT_EQ(valueOf(m_config, code.c_str()), value) << code;
    int level = -1;
    m_config.GetValue("M06-2", &level);
    EXPECT_EQ(level, alNoRead);
    m_config.GetValue("M06-3", &level);
    EXPECT_EQ(level, alNoChange);
}

TEST_F(ConfigCommandsTest, WriteListEncodesEachKind) {
    TConfig config = filledStore();
    const Values values = {{"M06-1", "1"},
                           {"M06-2", "0"},
                           {"M06-3", "1"},
                           {"M06-4", "1"},
                           {"M23-1", "1"},
                           {"M23-2", "0"},
                           {"M23-3", "0"},
                           {"M23-4", "1"},
                           {"S01", "192.168.0.1"},
                           {"S02", ""},
                           {"I01", "12AB"},
                           {"P20", ""},
                           {"G03", QString::fromUtf8("ГТС  ").toStdString()}};
    for (const auto& [code, value] : values)
        ASSERT_TRUE(config.SetValue(QString::fromStdString(code), QString::fromStdString(value), 0)) << code;

    QStringList list = {"stale"};
    config.GetWriteList(list);
    const std::vector<std::string> lines = strings(list);
    for (const char* line :
         {"M06=1,0,1,1", "M23=9", "S01=192,168,0,1", "S02=0,0,0,0", "I01=1,2,10,11", "P20= ", "G03=ГТС"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(ConfigCommandsTest, WriteListFollowsReadCodesAndLeavesOutDeviceValues) {
    TConfig config = filledStore();
    QStringList readCodes;
    config.GetReadCodes(readCodes);
    QStringList list;
    config.GetWriteList(list);
    QStringList bases;
    for (const QString& line : list)
        bases.append(line.section(u'=', 0, 0));
    EXPECT_EQ(strings(bases), strings(readCodes));
}

// What one store writes, another reads back: every kind survives the wire form unchanged.
TEST_F(ConfigCommandsTest, WriteListRepliedBackGivesTheSameValues) {
    const TConfig source = filledStore();
    QStringList list;
    source.GetWriteList(list);
    for (const QString& line : list) {
        const qsizetype eq = line.indexOf(u'=');
        EXPECT_TRUE(m_config.ApplyReply(line.left(eq), line.mid(eq + 1))) << line.toStdString();
    }
    for (const TConfigLine& line : source.Lines())
        EXPECT_EQ(m_config.GetValue(line.code).toStdString(), source.GetValue(line.code).toStdString())
            << line.code.toStdString();
}

TEST_F(ConfigCommandsTest, WriteListRefusesValuesThatDoNotConvert) {
    struct Case {
        const char* code; // left blank in an otherwise valid store
        const char* message;
    };
    const std::vector<Case> cases = {
        {"I01", "Не указан идентификатор"},
        {"M23-3", "Недопустимое значение параметра 'Отказ GSM'"},
    };
    for (const Case& c : cases) {
        TConfig config;
        config.SetDeviceType(1);
        const TConfig filled = filledStore();
        for (const TConfigLine& line : filled.Lines()) {
            if (line.code != c.code)
                config.SetValue(line.code, line.value, 0);
        }
        QStringList list;
        try {
            config.GetWriteList(list);
            ADD_FAILURE() << c.code << ": no error";
        } catch (const KavorError& e) {
            EXPECT_EQ(e.text().toStdString(), c.message) << c.code;
        }
    }
}

} // namespace
