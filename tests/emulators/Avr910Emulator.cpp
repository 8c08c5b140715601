#include "Avr910Emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <stdexcept>

namespace {

constexpr char CR = '\r';

// Argument bytes after each command letter; letters not listed take none.
int argumentCount(char letter) {
    switch (letter) {
    case 'T':
    case 'B':
    case 'D':
    case 'c':
    case 'C':
    case 'u':
        return 1;
    case 'A':
        return 2;
    case ':':
        return 3;
    case ';':
    case '.':
        return 4;
    default:
        return 0;
    }
}

QString logLine(const QByteArray& command) {
    const char letter = command[0];
    QString line = letter > ' ' && letter < 0x7F ? QString(QLatin1Char(letter))
                                                 : QString::fromLatin1(command.left(1).toHex().toUpper());
    for (qsizetype i = 1; i < command.size(); ++i)
        line += u' ' + QString::fromLatin1(command.mid(i, 1).toHex().toUpper());
    return line;
}

void parseLetters(const QString& letters, QSet<char>& set, bool& all) {
    if (letters.isEmpty())
        all = true;
    for (QChar c : letters)
        set.insert(c.toLatin1());
}

} // namespace

Avr910Emulator::Avr910Emulator(const Avr910Options& options) : m_chip(options.chip) {
    for (const QString& fault : options.faults) {
        const QString kind = fault.section(u'=', 0, 0);
        const QString value = fault.section(u'=', 1);
        bool ok = true;
        if (kind == QLatin1String("silent"))
            parseLetters(value, m_silent, m_allSilent);
        else if (kind == QLatin1String("notcr"))
            parseLetters(value, m_notCr, m_allNotCr);
        else if (kind == QLatin1String("hangup"))
            m_hangupAfter = value.toLongLong(&ok);
        else
            ok = false;
        if (!ok || m_hangupAfter < -1)
            throw std::invalid_argument("unknown fault: " + fault.toStdString());
    }
    if (options.baud > 0)
        m_byteTime = std::chrono::nanoseconds(10'000'000'000LL / options.baud);
    m_latency = std::chrono::microseconds(options.latencyUs);
    if (!options.logPath.isEmpty()) {
        m_logFile = std::fopen(options.logPath.toLocal8Bit().constData(), "w");
        if (m_logFile == nullptr)
            throw std::runtime_error("cannot write the log " + options.logPath.toStdString());
    }
    if (::pipe2(m_wake, O_CLOEXEC) != 0) {
        if (m_logFile != nullptr)
            std::fclose(m_logFile);
        throw std::runtime_error("pipe failed");
    }
    m_thread = std::thread([this] { run(); });
}

Avr910Emulator::~Avr910Emulator() {
    m_stop = true;
    const char wake = 1;
    [[maybe_unused]] const auto written = ::write(m_wake[1], &wake, 1);
    m_thread.join();
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    if (m_logFile != nullptr)
        std::fclose(m_logFile);
}

QStringList Avr910Emulator::commandLog() const {
    std::lock_guard lock(m_mutex);
    return m_log;
}

void Avr910Emulator::clearCommandLog() {
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

void Avr910Emulator::run() {
    // Wire-time pacing needs sleeps accurate to a few microseconds, not the default 50 us slack.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    char buffer[4096];
    while (!m_stop) {
        pollfd fds[2] = {{m_pty.masterFd(), POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents != 0)
            break;
        const ssize_t n = ::read(m_pty.masterFd(), buffer, sizeof buffer);
        if (n <= 0)
            continue;
        const Clock::time_point now = Clock::now();
        for (ssize_t i = 0; i < n && m_pty.masterFd() >= 0; ++i) {
            // A byte cannot have arrived before the wire could carry it after the previous one.
            m_rxClock = std::max(m_rxClock, now) + m_byteTime;
            receive(quint8(buffer[i]), m_rxClock);
        }
        if (m_pty.masterFd() < 0)
            break;
    }
}

void Avr910Emulator::receive(quint8 byte, Clock::time_point arrived) {
    m_pending.append(char(byte));
    ++m_received;
    if (m_pending.size() > argumentCount(m_pending[0])) {
        const QByteArray command = m_pending;
        m_pending.clear();
        bool silent = false;
        QByteArray answer;
        {
            std::lock_guard lock(m_mutex);
            m_log << logLine(command);
            if (m_logFile != nullptr) {
                std::fprintf(m_logFile, "%s\n", m_log.constLast().toLatin1().constData());
                std::fflush(m_logFile);
            }
            answer = execute(command, silent);
        }
        if (!silent && !answer.isEmpty())
            reply(answer, arrived);
    }
    if (m_received == m_hangupAfter)
        m_pty.hangUp();
}

void Avr910Emulator::reply(const QByteArray& bytes, Clock::time_point commandDone) {
    const Clock::time_point start = std::max(commandDone + m_latency, m_txClock);
    m_txClock = start + m_byteTime * bytes.size();
    std::this_thread::sleep_until(m_txClock);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(m_pty.masterFd(), bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n <= 0)
            return;
        sent += n;
    }
}

QByteArray Avr910Emulator::execute(const QByteArray& command, bool& silent) {
    const char letter = command[0];
    const auto arg = [&](int i) { return quint8(command[i]); };
    silent = m_allSilent || m_silent.contains(letter);
    QByteArray answer;
    switch (letter) {
    case 'T':
    case 'P':
    case 'B':
    case 'x':
    case 'y':
    case 'L':
        answer = QByteArray(1, CR);
        break;
    case 'S':
        answer = QByteArrayLiteral("AVR ISP");
        break;
    case 'F':
        answer = QByteArray(1, '\0');
        break;
    case 'V':
        answer = QByteArrayLiteral("38");
        break;
    case 'v':
        answer = QByteArrayLiteral("10");
        break;
    case 'p':
        answer = QByteArrayLiteral("S");
        break;
    case 'a':
        answer = QByteArrayLiteral("Y");
        break;
    case 'b':
        answer = QByteArrayLiteral("N");
        break;
    case 't':
        answer = QByteArray("\x74\x00", 2);
        break;
    case 's': {
        const QByteArray signature = m_chip.signature();
        answer.append(signature[2]).append(signature[1]).append(signature[0]);
        break;
    }
    case 'A':
        m_chip.setAddress((arg(1) << 8) | arg(2));
        answer = QByteArray(1, CR);
        break;
    case 'd':
        answer = QByteArray(1, char(m_chip.readEeprom()));
        break;
    case 'D':
        m_chip.writeEeprom(arg(1));
        answer = QByteArray(1, CR);
        break;
    case 'R':
        answer = m_chip.readProgram();
        break;
    case 'c':
    case 'C':
        m_chip.loadProgram(arg(1), letter == 'C');
        answer = QByteArray(1, CR);
        break;
    case 'm':
        m_chip.commitPage();
        answer = QByteArray(1, CR);
        break;
    case 'e':
        m_chip.erase();
        answer = QByteArray(1, CR);
        break;
    case ';':
        m_chip.instruction(arg(1), arg(2), arg(3), arg(4));
        answer = QByteArray(1, CR);
        break;
    case ':':
        answer.append(char(m_chip.instruction(arg(1), arg(2), arg(3), 0x00))).append(CR);
        break;
    case '.':
        answer.append(char(m_chip.instruction(arg(1), arg(2), arg(3), arg(4)))).append(CR);
        break;
    case 'u':
        answer = QByteArray(1, char(m_lastSpi));
        m_lastSpi = arg(1);
        break;
    default:
        answer = QByteArrayLiteral("?");
        break;
    }
    if ((m_allNotCr || m_notCr.contains(letter)) && answer.endsWith(CR))
        answer.back() = '?';
    return answer;
}
