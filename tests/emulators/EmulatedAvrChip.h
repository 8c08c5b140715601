#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The target chip behind the programmer, described by its section of the chip description table: flash
// with a page buffer (or written directly when the chip has no pages), EEPROM, fuse and lock bytes and the
// signature. Programmed bits are 0, as on the chip.
class EmulatedAvrChip {
public:
    // Throws std::invalid_argument for a name that has no section with flash in the table. Accepts section
    // names ("MEGA328P") and the usual part names ("m328p", "t13", "89s52").
    explicit EmulatedAvrChip(const QString& chipName);

    const QString& section() const { return m_section; }
    bool wordMode() const { return m_wordMode; }
    int pageSize() const { return m_pageSize; }

    QByteArray& flash() { return m_flash; }
    QByteArray& eeprom() { return m_eeprom; }
    // Fuse low, fuse high, extended fuse, lock.
    quint8 fuseByte(int index) const { return m_fuses[index]; }
    void setFuseByte(int index, quint8 value);

    // The signature, byte 0 first.
    QByteArray signature() const { return m_signature; }
    void setAddress(int address) { m_address = address; }
    // Flash read at the current address: a word high byte first, or one byte; the address advances.
    QByteArray readProgram();
    // Loads the low ("c") or high ("C") byte of the word at the current address; the high byte advances
    // the address. In byte mode every byte goes to the current address, which advances.
    void loadProgram(quint8 value, bool highByte);
    // Writes the page buffer into the page that holds the current address.
    void commitPage();
    quint8 readEeprom();
    void writeEeprom(quint8 value);
    // Flash and the lock byte back to 0xFF; EEPROM too unless EESAVE is programmed.
    void erase();
    // A four-byte serial programming instruction; returns the byte clocked out with the fourth byte.
    quint8 instruction(quint8 b0, quint8 b1, quint8 b2, quint8 b3);

private:
    bool bitProgrammed(int position) const;
    bool writeLocked() const;
    bool readLocked() const;
    void programFlashByte(int offset, quint8 value);

    QString m_section;
    QByteArray m_flash;
    QByteArray m_eeprom;
    QByteArray m_pageBuffer;
    QByteArray m_signature;
    quint8 m_fuses[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    int m_pageSize = 0;
    int m_address = 0;
    int m_lb1 = -1;
    int m_lb2 = -1;
    int m_eesave = -1;
    bool m_wordMode = false;
    bool m_paged = false;
};
