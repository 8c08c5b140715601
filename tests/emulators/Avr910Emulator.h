#pragma once

#include "EmulatedAvrChip.h"
#include "PseudoTerminal.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

// What the emulated programmer is and how it misbehaves.
struct Avr910Options {
    QString chip = QStringLiteral("m328p");
    // Wire time is emulated at this line speed (10 bits a byte, each direction); 0: no pacing.
    int baud = 0;
    // Added between a command's last byte and its reply.
    int latencyUs = 0;
    // "silent[=LETTERS]": no reply to those command letters (all without letters); "notcr[=LETTERS]":
    // the acknowledgement is "?" instead of CR; "hangup=N": the line drops after N received bytes.
    QStringList faults;
    // Every command received, one line each ("A 00 40").
    QString logPath;
};

// A serial AVR in-system programmer with its target chip on a pseudo-terminal, served by a thread of its
// own. It speaks the command letters of the configurator (T, P, B, x, L, y, S+F, s, A, d, D, R, c, C, m,
// e, ";", ":", u) and the identification commands avrdude asks (S, V, v, p, a, b, t, "." universal).
class Avr910Emulator {
public:
    // Throws std::invalid_argument for an unknown chip or fault, std::runtime_error when no
    // pseudo-terminal or log file can be had.
    explicit Avr910Emulator(const Avr910Options& options);
    ~Avr910Emulator();
    Avr910Emulator(const Avr910Emulator&) = delete;
    Avr910Emulator& operator=(const Avr910Emulator&) = delete;

    const QString& portPath() const { return m_pty.slavePath(); }
    bool makeLink(const QString& path) { return m_pty.makeLink(path); }

    // The commands received so far, in the log's form.
    QStringList commandLog() const;
    void clearCommandLog();
    // Runs `use` on the chip while the emulator cannot touch it.
    template <typename Use> auto withChip(Use use) {
        std::lock_guard lock(m_mutex);
        return use(m_chip);
    }

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void receive(quint8 byte, Clock::time_point arrived);
    QByteArray execute(const QByteArray& command, bool& silent);
    void reply(const QByteArray& bytes, Clock::time_point commandDone);

    PseudoTerminal m_pty;
    EmulatedAvrChip m_chip;
    Clock::duration m_byteTime{};
    Clock::duration m_latency{};
    Clock::time_point m_rxClock{};
    Clock::time_point m_txClock{};
    QSet<char> m_silent;
    QSet<char> m_notCr;
    bool m_allSilent = false;
    bool m_allNotCr = false;
    qint64 m_hangupAfter = -1;
    qint64 m_received = 0;
    QByteArray m_pending;
    quint8 m_lastSpi = 0;
    mutable std::mutex m_mutex;
    QStringList m_log;
    std::FILE* m_logFile = nullptr;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
