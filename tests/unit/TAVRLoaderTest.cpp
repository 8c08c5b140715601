#include "avrloader/IntelHex.h"
#include "avrloader/TAVRLoader.h"
#include "platform/KavorError.h"
#include "platform/QtSerialPort.h"

#include "Avr910Emulator.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <functional>
#include <vector>

namespace {

QString hexLine(char letter, std::initializer_list<int> args) {
    QString line(QLatin1Char{letter});
    for (const int arg : args)
        line += QStringLiteral(" %1").arg(arg, 2, 16, QLatin1Char('0')).toUpper();
    return line;
}

const QStringList enter3v = {"T 67", "P", "B 00", "x"};
const QStringList leave = {"L", "y"};

class AvrLoaderOnEmulator : public ::testing::Test {
protected:
    void start(const char* chip, TChipType type, const QStringList& faults = {}) {
        Avr910Options options;
        options.chip = QString::fromLatin1(chip);
        options.faults = faults;
        m_emulator = std::make_unique<Avr910Emulator>(options);
        m_loader = std::make_unique<TAVRLoader>(std::make_unique<QtSerialPort>());
        m_loader->SetPortName(m_emulator->portPath());
        m_loader->SetBaudRate(115200);
        m_loader->SetChipType(type);
        m_loader->SetUccType(ut3v);
    }

    QString failureOf(const std::function<void()>& operation) {
        try {
            operation();
        } catch (const KavorError& e) {
            return e.text();
        }
        return QString();
    }

    void expectClosed() const {
        EXPECT_FALSE(m_loader->Active());
        EXPECT_FALSE(m_loader->Programming());
    }

    QByteArray chipFlash() {
        return m_emulator->withChip([](EmulatedAvrChip& c) { return c.flash(); });
    }
    QByteArray chipEeprom() {
        return m_emulator->withChip([](EmulatedAvrChip& c) { return c.eeprom(); });
    }

    // Declared first so that it outlives the loader, which still talks to it while closing.
    std::unique_ptr<Avr910Emulator> m_emulator;
    std::unique_ptr<TAVRLoader> m_loader;
};

TEST_F(AvrLoaderOnEmulator, EntersProgrammingWithTheDeviceCodeOfTheSupply) {
    start("m328p", ctMEGA328P);
    for (const auto& [ucc, deviceCode] : {std::pair{ut3v, "T 67"}, std::pair{ut5v, "T 77"}}) {
        m_emulator->clearCommandLog();
        m_loader->SetUccType(ucc);
        m_loader->SetProgramming(true);
        EXPECT_TRUE(m_loader->Programming());
        m_loader->SetProgramming(false);
        EXPECT_EQ(m_emulator->commandLog(), QStringList({deviceCode, "P", "B 00", "x", "L", "y"}));
        EXPECT_TRUE(m_loader->Active());
    }
}

TEST_F(AvrLoaderOnEmulator, WritesOnlyThePagesThatHoldData) {
    start("m328p", ctMEGA328P);
    std::vector<quint8> image(200);
    for (int i = 0; i < 200; ++i)
        image[i] = quint8(i * 7 + 1);
    std::vector<std::pair<int, int>> progress;
    m_loader->SetOnAVRProgress([&](TAVRLoader&, int max, int cur) { progress.emplace_back(max, cur); });

    EXPECT_EQ(m_loader->WriteFlash(image.data(), int(image.size())), 0);

    QStringList expected = enter3v + QStringList{"s"};
    for (const int page : {0, 1}) {
        expected << hexLine('A', {0, page * 64});
        for (int j = 0; j < 128; ++j) {
            const int p = page * 128 + j;
            expected << hexLine(j % 2 == 0 ? 'c' : 'C', {p < 200 ? image[p] : 0xFF});
        }
        expected << hexLine('A', {0, page * 64}) << "m";
    }
    expected << leave;
    EXPECT_EQ(m_emulator->commandLog(), expected);
    const QByteArray flash = chipFlash();
    EXPECT_EQ(flash.left(200), QByteArray(reinterpret_cast<const char*>(image.data()), 200));
    EXPECT_EQ(flash.mid(200), QByteArray(32768 - 200, char(0xFF)));
    ASSERT_EQ(progress.size(), 256u / 8 + 1);
    EXPECT_EQ(progress.front(), std::pair(32768, 0));
    EXPECT_EQ(progress[17], std::pair(32768, 136));
    EXPECT_EQ(progress.back(), std::pair(32768, 199));
}

TEST_F(AvrLoaderOnEmulator, ReadsFlashWordsLowByteAtTheEvenAddress) {
    start("m328p", ctMEGA328P);
    m_emulator->withChip([](EmulatedAvrChip& c) {
        for (int i = 0; i < 64; ++i)
            c.flash()[i] = char(0x80 + i);
    });
    std::vector<quint8> buffer(64, 0);
    EXPECT_EQ(m_loader->ReadFlash(buffer.data(), 64), 64);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), 64), chipFlash().left(64));
    EXPECT_EQ(m_emulator->commandLog().count("R"), 32);

    // An odd count reads the last word whole but stores only the bytes asked for.
    std::vector<quint8> odd(5, 0);
    EXPECT_EQ(m_loader->ReadFlash(odd.data(), 5), 5);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(odd.data()), 5), chipFlash().left(5));

    QStringList hex;
    EXPECT_EQ(m_loader->ReadFlash(hex), 32768);
    std::vector<quint8> whole(32768, 0);
    EXPECT_EQ(HexToBin(hex, whole.data(), 32768), 32768);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(whole.data()), 32768), chipFlash());
}

TEST_F(AvrLoaderOnEmulator, DrivesAByteWideChipWithoutPages) {
    start("89s52", ct89S52);
    const quint8 image[] = {0x02, 0x00, 0x30, 0x75, 0x81, 0x5F, 0x12, 0x34};
    m_loader->WriteFlash(image, 8);
    const QStringList log = m_emulator->commandLog();
    EXPECT_EQ(log.mid(0, 6), QStringList({"T 0B", "P", "B FF", "x", "s", "A 00 00"}));
    EXPECT_EQ(log.filter(QRegularExpression("^C ")).size(), 8192);
    EXPECT_EQ(log.filter(QRegularExpression("^[cm]")).size(), 0);
    EXPECT_EQ(log.mid(6, 2), QStringList({"C 02", "C 00"}));

    m_emulator->clearCommandLog();
    quint8 back[8] = {};
    EXPECT_EQ(m_loader->ReadFlash(back, 8), 8);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(back), 8), QByteArray(reinterpret_cast<const char*>(image), 8));
    EXPECT_EQ(m_emulator->commandLog().count("R"), 8);
}

TEST_F(AvrLoaderOnEmulator, WritesAllFourFuseBytesAndReadsThemBack) {
    start("m8", ctMEGA8);
    TFuses fuses;
    fuses.set(fBLB12);
    m_loader->SetFuses(fuses);
    m_loader->WriteFuse();
    EXPECT_EQ(m_emulator->commandLog(),
              enter3v + QStringList({"; AC A0 00 FF", "; AC A8 00 FF", "; AC A4 00 FF", "; AC E0 00 DF"}) + leave);
    EXPECT_EQ(m_emulator->withChip([](EmulatedAvrChip& c) { return c.fuseByte(3); }), 0xDF);

    // Every bit programmed on the chip: only the items the MEGA8 section knows come back.
    m_emulator->withChip([](EmulatedAvrChip& c) {
        for (int i = 0; i < 3; ++i)
            c.setFuseByte(i, 0x00);
        c.setFuseByte(3, 0x00);
    });
    m_loader->ReadFuse();
    TFuses expected;
    for (const TFuseItem item :
         {fCKSEL0, fCKSEL1, fCKSEL2, fCKSEL3, fSUT0,  fSUT1,  fBODEN, fBODLEV, fBOOTRS, fBOOTSZ0, fBOOTSZ1,
          fEESAVE, fCKOPT,  fWDTON,  fRSTDIS, fBLB12, fBLB11, fBLB02, fBLB01,  fLB2,    fLB1})
        expected.set(item);
    EXPECT_EQ(m_loader->Fuses().to_string(), expected.to_string());
}

TEST_F(AvrLoaderOnEmulator, WritesTheEepromRangeOfHexText) {
    start("m328p", ctMEGA328P);
    std::vector<quint8> bytes(0x20);
    for (int i = 0; i < 0x20; ++i)
        bytes[i] = quint8(0xA0 + i);
    QStringList hex;
    BinToHex(hex, bytes.data(), 0x20, 0);
    hex.removeAt(1); // the record of addresses 0x00-0x0F

    EXPECT_EQ(m_loader->WriteEEPROM(hex), 16);
    QStringList expected = enter3v + QStringList{"s", "A 00 10"};
    for (int i = 0x10; i < 0x20; ++i)
        expected << hexLine('D', {0xA0 + i});
    EXPECT_EQ(m_emulator->commandLog(), expected + leave);
    const QByteArray eeprom = chipEeprom();
    EXPECT_EQ(eeprom.mid(0x10, 16), QByteArray(reinterpret_cast<const char*>(bytes.data()) + 0x10, 16));
    EXPECT_EQ(quint8(eeprom[0x0F]), 0xFF);

    m_loader->SetActive(false);
    m_emulator->clearCommandLog();
    EXPECT_EQ(m_loader->WriteEEPROM(QStringList{":00000001FF"}), 0);
    EXPECT_EQ(m_emulator->commandLog(), QStringList());
    EXPECT_FALSE(m_loader->Active());
}

TEST_F(AvrLoaderOnEmulator, ReadsTheWholeEepromAsHexText) {
    start("m328p", ctMEGA328P);
    m_emulator->withChip([](EmulatedAvrChip& c) {
        for (int i = 0; i < c.eeprom().size(); ++i)
            c.eeprom()[i] = char(i * 13);
    });
    std::pair<int, int> last;
    m_loader->SetOnAVRProgress([&](TAVRLoader&, int max, int cur) { last = {max, cur}; });
    QStringList hex;
    m_loader->ReadEEPROM(hex);
    std::vector<quint8> back(1024, 0);
    EXPECT_EQ(HexToBin(hex, back.data(), 1024), 1024);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(back.data()), 1024), chipEeprom());
    EXPECT_EQ(last, std::pair(1024, 1024));
}

TEST_F(AvrLoaderOnEmulator, ReadsSignatureVersionAndSpi) {
    start("m328p", ctMEGA328P);
    EXPECT_EQ(m_loader->GetSignatureReal(), QString());
    EXPECT_EQ(m_emulator->commandLog(), QStringList());
    m_loader->SetActive(true);
    EXPECT_EQ(m_loader->GetSignatureReal(), QStringLiteral("1E950F"));
    EXPECT_FALSE(m_loader->Programming());
    m_loader->SetIgnoreSignature(true);
    EXPECT_EQ(m_loader->GetSignatureReal(), QString());
    EXPECT_EQ(m_loader->GetVersion(), QStringLiteral("AVR ISP"));
    EXPECT_EQ(m_loader->SPI(0x30), 0x00);
    EXPECT_EQ(m_loader->SPI(0x00), 0x30);
    const QStringList expected = enter3v + QStringList{"s"} + leave + QStringList{"S", "F", "u 30", "u 00"};
    EXPECT_EQ(m_emulator->commandLog(), expected);
}

TEST_F(AvrLoaderOnEmulator, KeepsOrLeavesStateOnlyWhenASettingChanges) {
    start("m328p", ctMEGA328P);
    m_loader->SetProgramming(true);
    m_emulator->clearCommandLog();
    m_loader->SetChipType(ctMEGA328P);
    m_loader->SetUccType(ut3v);
    EXPECT_TRUE(m_loader->Programming());
    m_loader->SetChipType(ctMEGA8);
    EXPECT_FALSE(m_loader->Programming());
    EXPECT_TRUE(m_loader->Active());
    EXPECT_EQ(m_emulator->commandLog(), leave);

    m_loader->SetBaudRate(115200);
    m_loader->SetPortName(m_emulator->portPath());
    EXPECT_TRUE(m_loader->Active());
    m_loader->SetBaudRate(19200);
    EXPECT_FALSE(m_loader->Active());
    EXPECT_EQ(TAVRLoader::GetBaudRate(), 19200);
    m_loader->SetActive(true);
    m_loader->SetPortName(QStringLiteral("/dev/null-port"));
    EXPECT_FALSE(m_loader->Active());
}

TEST_F(AvrLoaderOnEmulator, FailsWhenTheProgrammerDoesNotAcknowledge) {
    const struct {
        const char* fault;
        const char* error;
    } cases[] = {
        {"silent", "Нет ответа от программатора (установка типа)"},
        {"notcr=P", "Нет ответа от программатора  (вход в программирование)"},
        {"notcr=B", "Нет ответа от программатора  (загрузка байта полинга)"},
        {"silent=x", "Нет ответа от программатора (индикация)"},
        {"notcr=A", "Нет ответа от программатора (установка адреса)"},
        {"silent=d", "Нет ответа от программатора (чтение)"},
    };
    for (const auto& c : cases) {
        start("m328p", ctMEGA328P, {QString::fromLatin1(c.fault)});
        quint8 buffer[4];
        EXPECT_EQ(failureOf([&] { m_loader->ReadEEPROM(buffer, 4); }), QString::fromUtf8(c.error)) << c.fault;
        expectClosed();
    }
}

TEST_F(AvrLoaderOnEmulator, RefusesAChipOfAnotherType) {
    start("m8", ctMEGA328P);
    const quint8 image[] = {1, 2, 3, 4};
    EXPECT_EQ(failureOf([&] { m_loader->WriteFlash(image, 4); }), QStringLiteral("Тип микросхемы указан неверно"));
    expectClosed();
    EXPECT_EQ(m_emulator->commandLog().filter(QRegularExpression("^[AcCm]")), QStringList());
}

TEST_F(AvrLoaderOnEmulator, RefusesWithoutChipTypeBeforeAnyExchange) {
    start("m328p", ctUnknown);
    m_loader->SetActive(true);
    quint8 buffer[4] = {};
    EXPECT_EQ(failureOf([&] { m_loader->ReadFlash(buffer, 4); }), QStringLiteral("Тип микросхемы не установлен"));
    expectClosed();
    EXPECT_EQ(failureOf([&] { m_loader->WriteFuse(); }), QStringLiteral("Тип микросхемы не установлен"));
    QStringList hex;
    EXPECT_EQ(m_loader->ReadEEPROM(hex), 0);
    EXPECT_EQ(m_loader->WriteFlash(QStringList{":00000001FF"}), 0);
    EXPECT_EQ(m_emulator->commandLog(), QStringList());
}

TEST_F(AvrLoaderOnEmulator, StartsAfreshAfterAFailureInTheMiddleOfAFlashWrite) {
    start("m328p", ctMEGA328P, {QStringLiteral("notcr=m")});
    std::vector<quint8> image(300, 0x00);
    EXPECT_EQ(failureOf([&] { m_loader->WriteFlash(image.data(), 300); }), QStringLiteral("Ошибка записи"));
    expectClosed();
    m_emulator->clearCommandLog();
    quint8 buffer[2] = {};
    EXPECT_EQ(m_loader->ReadEEPROM(buffer, 2), 2);
    EXPECT_EQ(m_emulator->commandLog(), enter3v + QStringList({"s", "A 00 00", "d", "d"}) + leave);
}

TEST_F(AvrLoaderOnEmulator, ReportsPortFailuresWithThePortName) {
    start("m328p", ctMEGA328P, {QStringLiteral("hangup=5")});
    const QString port = m_emulator->portPath();
    quint8 buffer[4] = {};
    const QString error = failureOf([&] { m_loader->ReadEEPROM(buffer, 4); });
    EXPECT_TRUE(error.startsWith(QStringLiteral("Запись ") + port + QStringLiteral(" - ")) ||
                error.startsWith(QStringLiteral("Чтение ") + port + QStringLiteral(" - ")))
        << error.toStdString();
    expectClosed();

    m_loader->SetPortName(QStringLiteral("/nonexistent/ttyS9"));
    const QString openError = failureOf([&] { m_loader->SetActive(true); });
    EXPECT_TRUE(openError.startsWith(QStringLiteral("Открытие /nonexistent/ttyS9 - "))) << openError.toStdString();
    EXPECT_GT(openError.size(), QStringLiteral("Открытие /nonexistent/ttyS9 - ").size());
    expectClosed();
}

TEST(EmulatedAvrChip, KeepsEepromOnEraseOnlyWithEesaveAndHidesLockedMemory) {
    EmulatedAvrChip chip(QStringLiteral("m328p"));
    chip.eeprom()[0] = char(0x42);
    chip.flash()[0] = char(0x12);
    chip.instruction(0xAC, 0xA8, 0x00, 0xF7); // EESAVE, bit 3 of the fuse high byte
    chip.erase();
    EXPECT_EQ(quint8(chip.eeprom()[0]), 0x42);
    EXPECT_EQ(quint8(chip.flash()[0]), 0xFF);
    chip.instruction(0xAC, 0xA8, 0x00, 0xFF);
    chip.erase();
    EXPECT_EQ(quint8(chip.eeprom()[0]), 0xFF);

    chip.eeprom()[0] = char(0x42);
    chip.instruction(0xAC, 0xE0, 0x00, 0xFC); // LB1 and LB2 programmed
    chip.setAddress(0);
    EXPECT_EQ(chip.readEeprom(), 0xFF);
    chip.setAddress(0);
    chip.writeEeprom(0x00);
    chip.instruction(0xAC, 0xE0, 0x00, 0xFF); // lock bits cannot be unprogrammed but by an erase
    EXPECT_EQ(chip.instruction(0x58, 0x00, 0x00, 0x00), 0xFC);
    chip.instruction(0xAC, 0xA8, 0x00, 0xF7);
    chip.erase();
    EXPECT_EQ(chip.instruction(0x58, 0x00, 0x00, 0x00), 0xFF);
    EXPECT_EQ(quint8(chip.eeprom()[0]), 0x42);
}

} // namespace
