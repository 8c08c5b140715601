#include "PseudoTerminal.h"

#include <QFile>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
    if (!m_link.isEmpty())
        QFile::remove(m_link);
}

bool PseudoTerminal::makeLink(const QString& path) {
    QFile::remove(path);
    if (::symlink(QFile::encodeName(m_slavePath).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    m_link = path;
    return true;
}

void PseudoTerminal::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}
