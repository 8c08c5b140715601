#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>

// The serial port of the running system. On Linux the driver is asked for low-latency mode, because
// USB-serial adapters otherwise hold every received byte for up to 16 ms.
class QtSerialPort : public SerialPort {
public:
    bool open(const QString& name) override;
    void close() override;
    bool isOpen() const override;
    bool setLineSettings(int baudRate) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    qint64 write(const char* data, qint64 count, int timeoutMs) override;
    qint64 read(char* data, qint64 count, int totalTimeoutMs, int intervalTimeoutMs) override;
    void clearInput() override;
    void clearError() override;
    QString errorText() const override;

private:
    bool acceptUnsupported(bool done);

    QSerialPort m_port;
};
