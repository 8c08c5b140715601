#pragma once

#include <QString>

// A pseudo-terminal pair for emulators: the emulator works on the master side, clients open the slave
// path as a serial port. The slave stays open and raw here, because the master reads fail with EIO
// whenever no slave descriptor is open (between two clients, for instance).
class PseudoTerminal {
public:
    // Throws std::runtime_error when the system has no pseudo-terminal to give.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int masterFd() const { return m_master; }
    const QString& slavePath() const { return m_slavePath; }
    // A symbolic link at `path` to the slave, removed again on destruction. False when it cannot be made.
    bool makeLink(const QString& path);
    // Closes both sides: a client on the slave sees the line drop.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_link;
};
