// Serial programmer transfers on an ATmega328P through the standalone emulator paced at 115200 baud.
// Each transfer is timed through TAVRLoader, then its floor: the same exchanges, taken from the emulator's
// command log, replayed by a minimal client (plain write, the protocol's pause, read) on the same port.
// Last comes avrdude writing the same flash image through the same emulator.

#include "avrloader/TAVRLoader.h"
#include "platform/KavorError.h"
#include "platform/QtSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Exchange {
    QByteArray command;
    int replyLength = 1;
    int pauseMs = 0;      // between sending and reading
    int afterReplyMs = 0; // after the reply
};

// The reply lengths and pauses of the protocol, by command letter.
Exchange exchangeOf(const QString& logLine) {
    const QStringList fields = logLine.split(u' ');
    Exchange e;
    e.command.append(fields[0].toLatin1());
    for (qsizetype i = 1; i < fields.size(); ++i)
        e.command.append(char(fields[i].toInt(nullptr, 16)));
    switch (e.command[0]) {
    case 's':
        e.replyLength = 3;
        break;
    case 'R':
        e.replyLength = 2;
        break;
    case ':':
        e.replyLength = 2;
        e.pauseMs = 30;
        break;
    case ';':
        e.pauseMs = 30;
        break;
    case 'P':
        e.pauseMs = 800;
        break;
    case 'B':
    case 'L':
        e.pauseMs = 500;
        break;
    case 'm':
        e.afterReplyMs = 30;
        break;
    case 'e':
        e.afterReplyMs = 200;
        break;
    default:
        break;
    }
    return e;
}

class MinimalClient {
public:
    explicit MinimalClient(const QString& path) : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY)) {
        termios t{};
        ::tcgetattr(m_fd, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, B115200);
        ::tcsetattr(m_fd, TCSANOW, &t);
    }
    ~MinimalClient() { ::close(m_fd); }
    bool ok() const { return m_fd >= 0; }

    bool run(const Exchange& e) {
        if (::write(m_fd, e.command.constData(), size_t(e.command.size())) != e.command.size())
            return false;
        if (e.pauseMs > 0)
            QThread::msleep(e.pauseMs);
        char reply[8];
        int got = 0;
        while (got < e.replyLength) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0)
                return false;
            const ssize_t n = ::read(m_fd, reply + got, size_t(e.replyLength - got));
            if (n <= 0)
                return false;
            got += int(n);
        }
        if (e.afterReplyMs > 0)
            QThread::msleep(e.afterReplyMs);
        return true;
    }

private:
    int m_fd;
};

class Bench {
public:
    Bench(const QString& port, const QString& logPath) : m_port(port), m_logPath(logPath) {}

    bool measure(const char* name, const std::function<void()>& operation) {
        const int logStart = logLines().size();
        QElapsedTimer timer;
        timer.start();
        try {
            operation();
        } catch (const KavorError& e) {
            std::fprintf(stderr, "%s: %s\n", name, e.what());
            return false;
        }
        const double elapsed = timer.nsecsElapsed() / 1e6;
        const QStringList lines = logLines().mid(logStart);

        MinimalClient client(m_port);
        if (!client.ok())
            return false;
        timer.restart();
        for (const QString& line : lines) {
            if (!client.run(exchangeOf(line))) {
                std::fprintf(stderr, "%s: the minimal client got no reply to %s\n", name, qPrintable(line));
                return false;
            }
        }
        const double floor = timer.nsecsElapsed() / 1e6;
        std::printf("%-22s %7lld exchanges  elapsed %9.1f ms  floor %9.1f ms  ratio %.3f\n", name,
                    static_cast<long long>(lines.size()), elapsed, floor, elapsed / floor);
        return true;
    }

private:
    QStringList logLines() const {
        QFile file(m_logPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QString m_port;
    QString m_logPath;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("programmer"));
    const QString logPath = dir.filePath(QStringLiteral("commands.log"));
    QProcess emulator;
    emulator.start(QStringLiteral(AVR910_EMULATOR_PATH),
                   {"--chip", "m328p", "--baud", "115200", "--link", link, "--log", logPath});
    if (!emulator.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the emulator did not start: %s\n", emulator.readAllStandardError().constData());
        return 1;
    }

    std::vector<quint8> image(32768);
    for (quint8& b : image)
        b = quint8(QRandomGenerator::global()->bounded(255)); // never 0xFF, so no page is skipped as blank
    std::vector<quint8> back(32768);

    TAVRLoader loader(std::make_unique<QtSerialPort>());
    loader.SetPortName(link);
    loader.SetBaudRate(115200);
    loader.SetChipType(ctMEGA328P);
    TFuses fuses;
    fuses.set(fSPIEN).set(fBOOTSZ0).set(fBOOTSZ1).set(fCKSEL0).set(fSUT0);
    loader.SetFuses(fuses);

    std::printf("ATmega328P through avr910-emulator at 115200 baud; floor = the same exchanges by a minimal client "
                "plus the protocol's pauses (P 800 ms, B 500 ms, L 500 ms, m 30 ms, e 200 ms, fuse byte 30 ms)\n");
    Bench bench(link, logPath);
    const bool ok = bench.measure("WriteFlash 32 KiB", [&] { loader.WriteFlash(image.data(), 32768); }) &&
                    bench.measure("ReadFlash 32 KiB", [&] { loader.ReadFlash(back.data(), 32768); }) &&
                    bench.measure("WriteEEPROM 1 KiB", [&] { loader.WriteEEPROM(image.data(), 1024, 0); }) &&
                    bench.measure("ReadEEPROM 1 KiB", [&] { loader.ReadEEPROM(back.data(), 1024); }) &&
                    bench.measure("WriteFuse", [&] { loader.WriteFuse(); });
    loader.SetActive(false);
    if (!ok)
        return 1;

    const QString avrdude = QStandardPaths::findExecutable(QStringLiteral("avrdude"));
    if (avrdude.isEmpty()) {
        std::printf("avrdude: not installed\n");
        return 0;
    }
    QFile imageFile(dir.filePath(QStringLiteral("flash.bin")));
    if (!imageFile.open(QIODevice::WriteOnly) ||
        imageFile.write(reinterpret_cast<const char*>(image.data()), 32768) != 32768)
        return 1;
    imageFile.close();
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    // -D: no chip erase, -V: no verification, so that it does what WriteFlash above does.
    process.start(avrdude, {"-c", "avr910", "-x", "devcode=0x74", "-p", "m328p", "-P", link, "-b", "115200", "-D", "-V",
                            "-U", "flash:w:" + imageFile.fileName() + ":r"});
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "avrdude failed: %s\n", process.readAllStandardError().constData());
        return 1;
    }
    std::printf("avrdude flash write 32 KiB (-D -V): %9.1f ms, with its own pauses: 4.5 ms after each page "
                "commit instead of 30 ms, none when entering programming mode; it also sets the address again "
                "after each page\n",
                timer.nsecsElapsed() / 1e6);
    emulator.terminate();
    emulator.waitForFinished(10000);
    return 0;
}
