#include "config/Gadgets.h"
#include "config/TConfig.h"

#include "QtPrinters.h"
#include "RecordingPrompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

constexpr quint32 CurrentFormatMark = 0x12C49801;
const QString BadFormat = QString::fromUtf8("Неверный формат файла");

// Store contents compared as one printable text: every line's code, value and level. `asSaved` shows the
// values that come only from a device as a file leaves them: blank at level 0.
QString dump(const TConfig& config, bool asSaved = false) {
    QString text = QString::number(config.DeviceType()) + "\n";
    for (const TConfigLine& line : config.Lines()) {
        const bool blank = asSaved && config.FindParam(line.code, 0)->has(pfReadOnly);
        text += QString("%1=%2 @%3\n").arg(line.code, blank ? " " : line.value).arg(blank ? 0 : line.level);
    }
    return text;
}

void putInt(QByteArray& record, int offset, quint32 value) {
    qToLittleEndian(value, reinterpret_cast<uchar*>(record.data() + offset));
}

QByteArray scrambled(const QByteArray& record) {
    QByteArray file(record.size() + 1, '\0');
    ScrambleBlock(reinterpret_cast<quint8*>(file.data()), reinterpret_cast<const quint8*>(record.constData()),
                  int(record.size()));
    return file;
}

QByteArray unscrambled(const QByteArray& file) {
    QByteArray record(file.size() - 1, '\0');
    EXPECT_TRUE(UnscrambleBlock(reinterpret_cast<const quint8*>(file.constData()),
                                reinterpret_cast<quint8*>(record.data()), int(record.size())));
    return record;
}

// A current-format record as the file layout describes it.
QByteArray currentRecord(int deviceType, const QByteArray& body, const QByteArray& password = "pw", int fixed = 1) {
    QByteArray record(101, '\0');
    putInt(record, 0, 70);
    record.replace(4, password.size(), password);
    putInt(record, 20, 167);
    putInt(record, 24, 37);
    putInt(record, 28, quint32(fixed));
    putInt(record, 32, quint32(body.count("\r\n")));
    putInt(record, 37, quint32(deviceType));
    putInt(record, 41, CurrentFormatMark);
    return record + body + '\0';
}

TConfig secondGeneration() {
    TConfig config;
    config.SetDeviceType(1);
    return config;
}

TConfig firstGeneration() {
    TConfig config;
    config.LoadDefaultImage();
    return config;
}

class ConfigFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = "test.kcf") const { return m_dir.filePath(name); }

    void writeRaw(const QByteArray& bytes, const QString& name = "test.kcf") const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readRaw(const QString& name = "test.kcf") const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Loads into `config` and expects a refusal with `message` that leaves the store, the password and
    // the fixed flag exactly as they were.
    void expectLoadRefused(TConfig& config, const QString& message, const QString& name = "test.kcf") {
        const QString before = dump(config);
        QString password = "old";
        bool fixed = true;
        RecordingPrompter prompter;
        EXPECT_FALSE(config.LoadFromFile(path(name), password, fixed, prompter));
        EXPECT_EQ(prompter.texts(), QStringList{message});
        EXPECT_EQ(dump(config), before);
        EXPECT_EQ(password, QString("old"));
        EXPECT_TRUE(fixed);
    }

    QTemporaryDir m_dir;
};

TEST_F(ConfigFileTest, FreshSecondGenerationStoreIsSavedAsFortyEightBlankLines) {
    const TConfig config = secondGeneration();
    RecordingPrompter prompter;
    ASSERT_TRUE(config.SaveToFile(path(), false, "", prompter));
    EXPECT_EQ(prompter.texts(), QStringList());

    const QByteArray record = unscrambled(readRaw());
    QByteArray body;
    for (const TConfigLine& line : config.Lines()) {
        if (!line.code.startsWith('#'))
            body += "0" + line.code.toLatin1() + "= \r\n";
    }
    EXPECT_EQ(body.count("\r\n"), 48);
    EXPECT_EQ(record, currentRecord(1, body, "", 0));
}

TEST_F(ConfigFileTest, SaveThenLoadKeepsEverythingForBothGenerations) {
    TConfig first = firstGeneration();
    ASSERT_TRUE(first.SetValue("$29", "8W12#", alNoChange));
    ASSERT_TRUE(first.SetValue("G01", QString::fromUtf8("Логин"), alNoRead));
    ASSERT_TRUE(first.SetValue("I01", "", alEditable));
    ASSERT_TRUE(first.SetValue("$23", "250011234567890", alEditable));
    ASSERT_TRUE(first.SetAccess("$01", alNoRead));

    TConfig second = secondGeneration();
    int i = 0;
    for (const TConfigLine& line : second.Lines()) {
        const TParamDesc* row = second.FindParam(line.code, 0);
        ++i;
        const QString value = row->Kind == pkAddress ? QString("10.1.2.%1").arg(i)
                              : row->Kind == pkIdent ? QString("0F0A")
                              : row->Kind == pkText  ? QString("1%1").arg(i % 10)
                                                     : QString::number(i % 3);
        ASSERT_TRUE(second.SetValue(line.code, value, row->has(pfReadOnly) ? 0 : i % 3)) << line.code.toStdString();
    }
    ASSERT_TRUE(second.SetValue("P20", "", alNoChange));        // an empty value stays empty
    ASSERT_TRUE(second.SetValue("G03", "  a b  ", alEditable)); // blanks are part of the value

    const struct {
        const TConfig* config;
        bool fixed;
        QString password;
        QString loadedPassword;
    } cases[] = {
        {&first, true, QString::fromUtf8("Пароль-длиннее-15"), QString::fromUtf8("Пароль-длиннее-")},
        {&second, false, "", ""},
        {&second, true, "123456789012345", "123456789012345"},
    };
    for (const auto& c : cases) {
        RecordingPrompter prompter;
        ASSERT_TRUE(c.config->SaveToFile(path(), c.fixed, c.password, prompter));
        // Loaded into a store of the other generation, so every value has to come from the file.
        TConfig loaded = c.config->DeviceType() == 0 ? secondGeneration() : firstGeneration();
        QString password = "old";
        bool fixed = !c.fixed;
        ASSERT_TRUE(loaded.LoadFromFile(path(), password, fixed, prompter));
        EXPECT_EQ(prompter.texts(), QStringList());
        EXPECT_EQ(password, c.loadedPassword);
        EXPECT_EQ(fixed, c.fixed);
        EXPECT_EQ(dump(loaded), dump(*c.config, true));
    }
}

TEST_F(ConfigFileTest, NeverFilledStoreTakesAFirstGenerationFile) {
    TConfig source = firstGeneration();
    ASSERT_TRUE(source.SetValue("$01", "9", alNoChange));
    RecordingPrompter prompter;
    ASSERT_TRUE(source.SaveToFile(path(), false, "", prompter));

    TConfig fresh; // generation 0 without a single line, as a new store is
    QString password;
    bool fixed = true;
    ASSERT_TRUE(fresh.LoadFromFile(path(), password, fixed, prompter));
    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(dump(fresh), dump(source, true));
}

TEST_F(ConfigFileTest, CurrentFormatRecordBuiltByHandLoads) {
    // No final line break; a choice beyond its list is still a number in range; Cyrillic is Windows-1251.
    const QByteArray body = "1M06-1=0\r\n2S01=10.0.0.1\r\n0G03=\xD2\xE5\xF1\xF2 \r\n1M07=7";
    writeRaw(scrambled(currentRecord(1, body, "\xCF\xE0\xF0\xEE\xEB\xFC", 1)));

    TConfig config = firstGeneration();
    QString password;
    bool fixed = false;
    RecordingPrompter prompter;
    ASSERT_TRUE(config.LoadFromFile(path(), password, fixed, prompter));
    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(password, QString::fromUtf8("Пароль"));
    EXPECT_TRUE(fixed);

    TConfig expected = secondGeneration();
    ASSERT_TRUE(expected.SetValue("M06-1", "0", 1));
    ASSERT_TRUE(expected.SetValue("S01", "10.0.0.1", 2));
    ASSERT_TRUE(expected.SetValue("G03", QString::fromUtf8("Тест "), 0));
    ASSERT_TRUE(expected.SetValue("M07", "7", 1));
    EXPECT_EQ(dump(config), dump(expected));
}

TEST_F(ConfigFileTest, SameGenerationFileOverwritesOnlyTheCodesItLists) {
    TConfig config = secondGeneration();
    ASSERT_TRUE(config.SetValue("M20", "42", alNoRead));
    ASSERT_TRUE(config.SetValue("P20", "123", alNoChange));
    ASSERT_TRUE(config.SetValue("M06-2", "1", alEditable));
    TConfig expected = config;
    ASSERT_TRUE(expected.SetValue("P20", "777", alEditable));
    // A single blank is the store's empty value: taken as it is, though no valid choice.
    const QString expectedDump = dump(expected).replace("M06-2=1 @0", "M06-2=  @1");
    writeRaw(scrambled(currentRecord(1, "0P20=777\r\n1M06-2= \r\n")));

    QString password;
    bool fixed = false;
    RecordingPrompter prompter;
    ASSERT_TRUE(config.LoadFromFile(path(), password, fixed, prompter));
    EXPECT_EQ(dump(config), expectedDump);
}

// An older-format record: header, first-generation main and extension blocks, then one level byte per
// row of the first-generation tree (separators included).
QByteArray olderRecord(int lineCount) {
    QByteArray r(305 + 50, '\0');
    r.replace(4, 3, "old");
    putInt(r, 28, 1);
    putInt(r, 32, quint32(lineCount));
    r[36] = char(0x55);                     // "Программирование с SIM": not allowed
    putInt(r, 41, 0x12345678);              // anything but the current mark
    r[101 + 0] = 7;                         // "$01"
    r[101 + 2] = 9;                         // "$08", held as 9 minus the value
    r.replace(101 + 150, 4, "$.ru");        // "$28", "$" standing for "internet"
    r.replace(101 + 77, 3, "\x08\x0F\x01"); // "$11"
    r[101 + 80] = char(0xFF);
    r.replace(268 + 2, 5, "25001"); // "$23", kept although only a device sets it
    r[268 + 32] = 24;               // "$05"
    // Tree positions: 0 "$01", 14 a separator, 15 "$24", 47 "$22", 49 "$23".
    r[305 + 0] = 2;
    r[305 + 14] = 1;
    r[305 + 15] = 1;
    r[305 + 47] = 2;
    r[305 + 49] = 1;
    return r;
}

TEST_F(ConfigFileTest, OlderFormatImageAndLevelBytesMakeAFirstGenerationStore) {
    writeRaw(scrambled(olderRecord(50)));
    TConfig config = secondGeneration();
    QString password;
    bool fixed = false;
    RecordingPrompter prompter;
    ASSERT_TRUE(config.LoadFromFile(path(), password, fixed, prompter));
    EXPECT_EQ(prompter.texts(), QStringList());
    EXPECT_EQ(password, QString("old"));
    EXPECT_TRUE(fixed);
    ASSERT_EQ(config.DeviceType(), 0);
    EXPECT_EQ(config.Lines().size(), 43);

    const struct {
        const char* code;
        const char* value;
        int level;
    } expected[] = {
        {"$01", "7", 2},  {"$08", "0", 0}, {"$28", "internet.ru", 0}, {"$11", "8W1", 0}, {"$23", "25001", 1},
        {"$05", "24", 0}, {"$22", "1", 2}, {"$24", "0", 1},           {"$02", "0", 0},   {"I01", "0000", 0},
        {"S03", "", 0},   {"$16", "0", 0},
    };
    for (const auto& e : expected) {
        int level = -1;
        EXPECT_EQ(config.GetValue(e.code, &level), QString(e.value)) << e.code;
        EXPECT_EQ(level, e.level) << e.code;
    }
}

TEST_F(ConfigFileTest, OlderFormatLineCountLimitsTheLevelBytesTaken) {
    TConfig config = firstGeneration();
    ASSERT_TRUE(config.SetAccess("$22", alNoChange));
    ASSERT_TRUE(config.SetAccess("$24", alNoChange));
    QByteArray r = olderRecord(15); // up to the separator before "$24"
    r.chop(50 - 15);                // the record needs to hold only the bytes it counts
    writeRaw(scrambled(r));

    QString password;
    bool fixed = false;
    RecordingPrompter prompter;
    ASSERT_TRUE(config.LoadFromFile(path(), password, fixed, prompter));
    int level = -1;
    config.GetValue("$01", &level);
    EXPECT_EQ(level, 2);
    config.GetValue("$24", &level);
    EXPECT_EQ(level, alNoChange);
    config.GetValue("$22", &level);
    EXPECT_EQ(level, alNoChange);
}

TEST_F(ConfigFileTest, RefusedFilesLeaveTheStoreAsItWas) {
    const QByteArray goodLines = "1M06-1=1\r\n2M06-2=0\r\n"; // taken before the failing line is met
    const QByteArray valid = scrambled(currentRecord(1, goodLines));
    QByteArray tampered = valid;
    tampered[tampered.size() - 1] = char(tampered.at(tampered.size() - 1) ^ 0x01);
    QByteArray unterminated = currentRecord(1, goodLines);
    unterminated.chop(1);
    QByteArray olderShort = olderRecord(50);
    olderShort.chop(1);

    const struct {
        const char* name;
        QByteArray file;
        QString message;
    } cases[] = {
        {"two bytes", "\x01\x02", BadFormat},
        {"three bytes", "\x01\x02\x03", BadFormat},
        {"check byte changed", tampered, QString::fromUtf8("Файл конфигурации поврежден")},
        {"fifty bytes", scrambled(QByteArray(49, 'x')), BadFormat},
        {"level digit 3", scrambled(currentRecord(1, goodLines + "3M20=5\r\n")), BadFormat},
        {"level not a digit", scrambled(currentRecord(1, goodLines + "xM20=5\r\n")), BadFormat},
        {"no =", scrambled(currentRecord(1, goodLines + "0M20\r\n")), BadFormat},
        {"empty line", scrambled(currentRecord(1, goodLines + "\r\n0M20=5\r\n")), BadFormat},
        {"unknown code", scrambled(currentRecord(1, goodLines + "0Z99=1\r\n")), BadFormat},
        {"code in other case", scrambled(currentRecord(1, goodLines + "0m20=1\r\n")), BadFormat},
        {"other generation's code", scrambled(currentRecord(1, goodLines + "0$01=1\r\n")), BadFormat},
        {"value out of range", scrambled(currentRecord(1, goodLines + "0M20=100\r\n")), BadFormat},
        {"blank in a code that has none", scrambled(currentRecord(1, goodLines + "0M20 = 1\r\n")), BadFormat},
        {"body without its zero", scrambled(unterminated), BadFormat},
        {"older format cut short", scrambled(olderShort), BadFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeRaw(c.file);
        TConfig config = firstGeneration();
        ASSERT_TRUE(config.SetValue("$01", "3", alNoChange));
        expectLoadRefused(config, c.message);
    }
}

TEST_F(ConfigFileTest, MissingOrOversizedFilesAreRefused) {
    TConfig config = firstGeneration();
    expectLoadRefused(config, QString::fromLocal8Bit(std::strerror(ENOENT)), "missing.kcf");

    // Larger than 1 MiB: refused from its size, before it is read. A valid record that size is not needed.
    {
        QFile big(path("big.kcf"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(1024 * 1024 + 1));
    }
    expectLoadRefused(config, BadFormat, "big.kcf");
}

TEST_F(ConfigFileTest, FileOfExactlyOneMebibyteIsStillRead) {
    // The largest accepted size: a current-format record whose body is padded after its terminating zero.
    QByteArray record = currentRecord(1, "0M20=5\r\n");
    record.append(QByteArray(1024 * 1024 - 1 - record.size(), '\0'));
    writeRaw(scrambled(record));
    TConfig config = firstGeneration();
    QString password;
    bool fixed = false;
    RecordingPrompter prompter;
    ASSERT_TRUE(config.LoadFromFile(path(), password, fixed, prompter));
    EXPECT_EQ(config.GetValue("M20"), QString("5"));
}

TEST_F(ConfigFileTest, RefusedSavesKeepTheExistingFile) {
    const QByteArray existing = "the user's good file";
    TConfig withBadLevel = secondGeneration();
    ASSERT_TRUE(withBadLevel.SetAccess("M20", 3));
    TConfig withNegativeLevel = firstGeneration();
    ASSERT_TRUE(withNegativeLevel.SetAccess("$01", -1));
    TConfig withZeroInValue = secondGeneration(); // a device reply is stored as it came
    ASSERT_TRUE(withZeroInValue.ApplyReply("G03", QString("ab") + QChar(0) + "cd"));
    const TConfig plain = secondGeneration();

    const struct {
        const char* name;
        const TConfig* config;
        QString password;
        QString message;
    } cases[] = {
        {"level 3", &withBadLevel, "", QString::fromUtf8("Недопустимые данные")},
        {"level -1", &withNegativeLevel, "", QString::fromUtf8("Недопустимые данные")},
        {"zero byte in a value", &withZeroInValue, "", QString::fromUtf8("Недопустимые данные")},
        {"password outside the code page", &plain, QString::fromUtf8("日本"), QString::fromUtf8("Недопустимые данные")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeRaw(existing);
        RecordingPrompter prompter;
        EXPECT_FALSE(c.config->SaveToFile(path(), false, c.password, prompter));
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(readRaw(), existing);
    }
}

TEST_F(ConfigFileTest, SaveIntoAMissingFolderShowsTheSystemsMessage) {
    RecordingPrompter prompter;
    EXPECT_FALSE(secondGeneration().SaveToFile(path("no/such/folder.kcf"), false, "", prompter));
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromLocal8Bit(std::strerror(ENOENT))});
    EXPECT_FALSE(QFile::exists(path("no/such/folder.kcf")));
}

// Lowers the largest file size the process may write, so that writing fails halfway as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(ConfigFileTest, FailedWriteKeepsTheExistingFileAndLeavesNothingBehind) {
    const QByteArray existing = "the user's good file";
    writeRaw(existing);
    RecordingPrompter prompter;
    bool saved = true;
    {
        const FileSizeLimit limit(64);
        saved = firstGeneration().SaveToFile(path(), false, "", prompter);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromLocal8Bit(std::strerror(EFBIG))});
    EXPECT_EQ(readRaw(), existing);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.kcf"});
}

} // namespace
