#pragma once

#include "avrloader/AvrTypes.h"
#include "avrloader/IniStore.h"
#include "platform/SerialPort.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>

// Drives a serial in-system programmer for AVR microcontrollers: one command letter per exchange, most
// acknowledged with CR. Everything chip-specific comes from the chip description table. Every operation
// blocks until done and raises KavorError on failure; after a failed exchange the port is closed and the
// programming mode forgotten, so the next operation starts afresh.
class TAVRLoader {
public:
    using ProgressHandler = std::function<void(TAVRLoader& sender, int maxPosition, int curPosition)>;

    explicit TAVRLoader(std::unique_ptr<SerialPort> port);
    ~TAVRLoader();
    TAVRLoader(const TAVRLoader&) = delete;
    TAVRLoader& operator=(const TAVRLoader&) = delete;

    bool Active() const { return m_active; }
    void SetActive(bool active);
    const QString& PortName() const { return m_portName; }
    void SetPortName(const QString& name);
    // The line speed is one value for the whole process, applied at every opening.
    static int GetBaudRate();
    void SetBaudRate(int baudRate);
    TUccType UccType() const { return m_uccType; }
    void SetUccType(TUccType type);
    bool EraseBeforeWrite() const { return m_eraseBeforeWrite; }
    void SetEraseBeforeWrite(bool erase);
    bool IgnoreSignature() const { return m_ignoreSignature; }
    void SetIgnoreSignature(bool ignore) { m_ignoreSignature = ignore; }
    // The programmed fuse and lock bits; setting them writes nothing to the chip.
    const TFuses& Fuses() const { return m_fuses; }
    void SetFuses(const TFuses& fuses);
    void SetOnAVRProgress(ProgressHandler handler) { m_onProgress = std::move(handler); }

    bool Programming() const { return m_programming; }
    void SetProgramming(bool on);

    // One exchange: writes `cmdLen` bytes, waits `delayMs`, reads up to `replyLen` bytes into `reply` (which
    // may be `cmd`). True when the whole reply arrived; a short reply is the caller's to judge.
    bool ExecuteCmd(const quint8* cmd, int cmdLen, quint8* reply, int replyLen, int delayMs);

    QString GetVersion();
    // Six hexadecimal digits, signature byte 0 first; empty without an exchange when the port is closed
    // or the signature is ignored.
    QString GetSignatureReal();

    int ReadEEPROM(quint8* buffer, int count);
    int WriteEEPROM(const quint8* buffer, int count, int address);
    int ReadFlash(quint8* buffer, int count);
    // Pages that hold only 0xFF are not sent.
    int WriteFlash(const quint8* buffer, int count);
    int ReadEEPROM(QStringList& hexText);
    int WriteEEPROM(const QStringList& hexText);
    int ReadFlash(QStringList& hexText);
    int WriteFlash(const QStringList& hexText);
    void ChipErase();
    void WriteFuse();
    void ReadFuse();
    quint8 SPI(quint8 value);

    // Chip description table.
    void CheckFeatureLoaded();
    static QString GetSectionName(TChipType type);
    static QString GetFuseName(TFuseItem item);
    TChipType ChipType() const { return m_chipType; }
    void SetChipType(TChipType type);
    // The section of the current chip type; empty for ctUnknown.
    const QString& SectionName() const { return m_section; }
    quint8 Type2() const { return m_type2; }
    int GetSizeFlash() const;
    int GetSizeEEPROM() const;
    int GetPages() const;
    QString GetSignatureTemplate() const;
    // The bit position of a fuse key in the current section (bits 0-2 bit, bits 4-5 byte), -1 when absent.
    int GetFuseNum(const QString& name) const;

private:
    void open();
    // Forgets programming mode and releases the port without a further exchange.
    void closePort();
    // After a failed operation: leaves programming mode as far as the programmer still answers, then closes.
    void abandon();
    template <typename Operation> auto guarded(Operation operation);
    void preamble(int memorySize);
    [[noreturn]] void ThrowLastError(const QString& prefix) const;
    int exchange(const quint8* cmd, int cmdLen, quint8* reply, int replyLen, int delayMs);
    bool acknowledged(std::initializer_list<quint8> cmd, int delayMs = 0);
    void setAddress(int address, const char* failure);
    void progress(int maxPosition, int curPosition);
    bool wordMode() const { return (m_type2 & 0x40) != 0; }

    std::unique_ptr<SerialPort> m_port;
    IniStore m_table;
    ProgressHandler m_onProgress;
    QString m_portName;
    QString m_section;
    TFuses m_fuses;
    TChipType m_chipType = ctUnknown;
    TUccType m_uccType = ut5v;
    quint8 m_type2 = 0;
    bool m_active = false;
    bool m_programming = false;
    bool m_tableLoaded = false;
    bool m_eraseBeforeWrite = false;
    bool m_ignoreSignature = false;
};
