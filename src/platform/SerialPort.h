#pragma once

#include <QString>
#include <QtGlobal>

// A serial port as the device protocols use it: blocking exchanges with deadlines on the caller's thread.
// Every call that fails leaves the reason in errorText().
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // `name` is a system port name ("COM1", "ttyUSB0") or a full device path; input is empty afterwards.
    virtual bool open(const QString& name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // `baudRate` baud, 8 data bits, no parity, one stop bit, no flow control.
    virtual bool setLineSettings(int baudRate) = 0;
    // Ports without modem lines (pseudo-terminals) accept these as done.
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;

    // The bytes written, or -1; the whole block is handed to the driver before the call returns.
    virtual qint64 write(const char* data, qint64 count, int timeoutMs) = 0;
    // Returns as soon as `count` bytes arrived; earlier when `totalTimeoutMs` has passed, or when
    // `intervalTimeoutMs` passed after a byte without the next one. The bytes read, or -1 on failure.
    virtual qint64 read(char* data, qint64 count, int totalTimeoutMs, int intervalTimeoutMs) = 0;
    virtual void clearInput() = 0;
    virtual void clearError() = 0;
    virtual QString errorText() const = 0;
};
