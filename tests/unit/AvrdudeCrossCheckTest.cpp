// avrdude, an independent implementation of the programmer protocol, drives the standalone emulator: what
// it writes must read back the same through avrdude, through TAVRLoader and in the emulator's saved images.

#include "avrloader/TAVRLoader.h"
#include "platform/QtSerialPort.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

namespace {

QByteArray randomBytes(int size) {
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(data), data.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AvrdudeCrossCheck, WritesAndReadsBackEepromAndFlashThroughTheEmulator) {
    const QString avrdude = QStandardPaths::findExecutable(QStringLiteral("avrdude"));
    ASSERT_FALSE(avrdude.isEmpty()) << "avrdude is missing; scripts/test installs it";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("programmer"));

    QProcess emulator;
    emulator.start(QStringLiteral(AVR910_EMULATOR_PATH),
                   {"--chip", "m328p", "--link", link, "--eeprom", dir.filePath("chip-eeprom.bin"), "--flash",
                    dir.filePath("chip-flash.bin")});
    ASSERT_TRUE(emulator.waitForReadyRead(10000)) << emulator.readAllStandardError().toStdString();

    const QByteArray eeprom = randomBytes(256);
    const QByteArray flash = randomBytes(3000);
    writeFile(dir.filePath("eeprom.bin"), eeprom);
    writeFile(dir.filePath("flash.bin"), flash);
    const auto runAvrdude = [&](const QStringList& operations) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        QStringList args = {"-c", "avr910", "-x", "devcode=0x74", "-p", "m328p", "-P", link, "-b", "115200"};
        for (const QString& operation : operations)
            args << "-U" << operation;
        process.start(avrdude, args);
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    };
    runAvrdude({"eeprom:w:eeprom.bin:r", "flash:w:flash.bin:r"});
    runAvrdude({"eeprom:r:eeprom-back.bin:r", "flash:r:flash-back.bin:r"});
    EXPECT_EQ(readFile(dir.filePath("eeprom-back.bin")).left(256), eeprom);
    EXPECT_EQ(readFile(dir.filePath("flash-back.bin")).left(3000), flash);

    {
        TAVRLoader loader(std::make_unique<QtSerialPort>());
        loader.SetPortName(link);
        loader.SetChipType(ctMEGA328P);
        std::vector<quint8> buffer(3000, 0);
        EXPECT_EQ(loader.ReadEEPROM(buffer.data(), 256), 256);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), 256), eeprom);
        EXPECT_EQ(loader.ReadFlash(buffer.data(), 3000), 3000);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), 3000), flash);
    }

    emulator.terminate();
    ASSERT_TRUE(emulator.waitForFinished(10000));
    EXPECT_EQ(emulator.exitCode(), 0) << emulator.readAllStandardError().toStdString();
    EXPECT_EQ(readFile(dir.filePath("chip-eeprom.bin")).left(256), eeprom);
    EXPECT_EQ(readFile(dir.filePath("chip-flash.bin")).left(3000), flash);
}

} // namespace
