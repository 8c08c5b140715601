// avr910-emulator: the serial AVR programmer and its chip on a pseudo-terminal, until SIGINT or SIGTERM.
// Prints the port path on the first line of standard output once the port is ready.

#include "Avr910Emulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <exception>

namespace {

bool loadMemory(const QString& path, QByteArray& memory) {
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.read(memory.size());
    memory.replace(0, data.size(), data);
    return true;
}

bool saveMemory(const QString& path, const QByteArray& memory) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(memory) == memory.size();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serial AVR programmer emulator on a pseudo-terminal"));
    parser.addHelpOption();
    const QCommandLineOption chip(QStringLiteral("chip"), QStringLiteral("Target chip (m328p, m8, 89s52, ...)."),
                                  QStringLiteral("name"), QStringLiteral("m328p"));
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Symbolic link to the port."),
                                  QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Pace the wire at this line speed."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption latency(QStringLiteral("latency-us"), QStringLiteral("Delay before each reply."),
                                     QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("silent[=LETTERS], notcr[=LETTERS] or hangup=N; repeatable."),
                                   QStringLiteral("fault"));
    const QCommandLineOption eeprom(QStringLiteral("eeprom"), QStringLiteral("EEPROM image, loaded and saved."),
                                    QStringLiteral("file"));
    const QCommandLineOption flash(QStringLiteral("flash"), QStringLiteral("Flash image, loaded and saved."),
                                   QStringLiteral("file"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Write every command received here."),
                                 QStringLiteral("file"));
    parser.addOptions({chip, link, baud, latency, fault, eeprom, flash, log});
    parser.process(app);

    // Blocked before the emulator thread starts, so that only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Avr910Options options;
    options.chip = parser.value(chip);
    bool baudOk = false;
    bool latencyOk = false;
    options.baud = parser.value(baud).toInt(&baudOk);
    options.latencyUs = parser.value(latency).toInt(&latencyOk);
    options.faults = parser.values(fault);
    options.logPath = parser.value(log);
    if (!baudOk || !latencyOk || options.baud < 0 || options.latencyUs < 0) {
        std::fprintf(stderr, "avr910-emulator: --baud and --latency-us take a number >= 0\n");
        return 2;
    }
    try {
        Avr910Emulator emulator(options);
        const bool loaded = emulator.withChip([&](EmulatedAvrChip& c) {
            return (!parser.isSet(eeprom) || loadMemory(parser.value(eeprom), c.eeprom())) &&
                   (!parser.isSet(flash) || loadMemory(parser.value(flash), c.flash()));
        });
        if (!loaded) {
            std::fprintf(stderr, "avr910-emulator: cannot read a memory image\n");
            return 1;
        }
        if (parser.isSet(link) && !emulator.makeLink(parser.value(link))) {
            std::fprintf(stderr, "avr910-emulator: cannot make the link %s\n", qPrintable(parser.value(link)));
            return 1;
        }
        std::printf("%s\n", qPrintable(emulator.portPath()));
        std::fflush(stdout);
        int received = 0;
        sigwait(&stopSignals, &received);
        const bool saved = emulator.withChip([&](EmulatedAvrChip& c) {
            return (!parser.isSet(eeprom) || saveMemory(parser.value(eeprom), c.eeprom())) &&
                   (!parser.isSet(flash) || saveMemory(parser.value(flash), c.flash()));
        });
        if (!saved) {
            std::fprintf(stderr, "avr910-emulator: cannot write a memory image\n");
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "avr910-emulator: %s\n", e.what());
        return 1;
    }
    return 0;
}
