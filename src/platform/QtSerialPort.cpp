#include "platform/QtSerialPort.h"

#include <QDeadlineTimer>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace {

void requestLowLatency([[maybe_unused]] QSerialPort& port) {
#ifdef Q_OS_LINUX
    // Drivers without the notion (pseudo-terminals, some adapters) refuse; the port works all the same.
    serial_struct serial{};
    if (::ioctl(port.handle(), TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ::ioctl(port.handle(), TIOCSSERIAL, &serial);
    }
#endif
}

} // namespace

bool QtSerialPort::open(const QString& name) {
    m_port.setPortName(name);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    requestLowLatency(m_port);
    m_port.clear(QSerialPort::Input);
    return true;
}

void QtSerialPort::close() {
    m_port.close();
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen();
}

bool QtSerialPort::setLineSettings(int baudRate) {
    return m_port.setBaudRate(baudRate) && m_port.setDataBits(QSerialPort::Data8) &&
           m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
           m_port.setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPort::acceptUnsupported(bool done) {
    if (!done && m_port.error() == QSerialPort::UnsupportedOperationError) {
        m_port.clearError();
        return true;
    }
    return done;
}

bool QtSerialPort::setDtr(bool on) {
    return acceptUnsupported(m_port.setDataTerminalReady(on));
}

bool QtSerialPort::setRts(bool on) {
    return acceptUnsupported(m_port.setRequestToSend(on));
}

qint64 QtSerialPort::write(const char* data, qint64 count, int timeoutMs) {
    const qint64 written = m_port.write(data, count);
    if (written < 0)
        return -1;
    const QDeadlineTimer deadline(timeoutMs);
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(int(deadline.remainingTime())))
            return -1;
    }
    return written;
}

qint64 QtSerialPort::read(char* data, qint64 count, int totalTimeoutMs, int intervalTimeoutMs) {
    const QDeadlineTimer total(totalTimeoutMs);
    qint64 got = 0;
    while (got < count) {
        if (m_port.bytesAvailable() > 0) {
            const qint64 n = m_port.read(data + got, count - got);
            if (n < 0)
                return -1;
            got += n;
            continue;
        }
        const qint64 left = total.remainingTime();
        const qint64 wait = got == 0 ? left : qMin<qint64>(left, intervalTimeoutMs);
        if (wait <= 0)
            break;
        if (!m_port.waitForReadyRead(int(wait))) {
            if (m_port.error() != QSerialPort::TimeoutError)
                return -1;
            m_port.clearError();
            break;
        }
    }
    return got;
}

void QtSerialPort::clearInput() {
    m_port.clear(QSerialPort::Input);
}

void QtSerialPort::clearError() {
    m_port.clearError();
}

QString QtSerialPort::errorText() const {
    return m_port.errorString();
}
