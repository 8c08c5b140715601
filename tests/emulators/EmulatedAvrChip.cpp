#include "EmulatedAvrChip.h"

#include "avrloader/IniStore.h"

#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace {

QString sectionOf(const QString& chipName) {
    QString name = chipName.toUpper();
    static const QRegularExpression shortName(QStringLiteral("^([MT])(\\d.*)$"));
    const QRegularExpressionMatch match = shortName.match(name);
    if (match.hasMatch())
        name = (match.captured(1) == QLatin1String("M") ? QStringLiteral("MEGA") : QStringLiteral("TINY")) +
               match.captured(2);
    return name;
}

} // namespace

EmulatedAvrChip::EmulatedAvrChip(const QString& chipName) : m_section(sectionOf(chipName)) {
    QFile file(QStringLiteral(":/avrloader/ChipTable.ini"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("the chip description table is missing");
    IniStore table;
    table.setLines(QString::fromLatin1(file.readAll()).split(u'\n'));
    const int flashSize = table.readInteger(m_section, QStringLiteral("SIZEF"), 0);
    if (!table.sectionExists(m_section) || flashSize <= 0)
        throw std::invalid_argument("unknown chip: " + chipName.toStdString());
    const int pages = table.readInteger(m_section, QStringLiteral("PAGES"), 0);
    m_flash = QByteArray(flashSize, char(0xFF));
    m_eeprom = QByteArray(table.readInteger(m_section, QStringLiteral("SIZEE"), 0), char(0xFF));
    m_paged = pages > 0;
    m_pageSize = flashSize / (pages + 1);
    m_pageBuffer = QByteArray(m_pageSize, char(0xFF));
    m_wordMode = (table.readInteger(m_section, QStringLiteral("TYPE2"), 0) & 0x40) != 0;
    m_signature = QByteArray::fromHex(table.readString(m_section, QStringLiteral("SIGN"), QString()).toLatin1());
    m_signature.resize(3, '\0');
    m_lb1 = table.readInteger(m_section, QStringLiteral("LB1"), -1);
    m_lb2 = table.readInteger(m_section, QStringLiteral("LB2"), -1);
    m_eesave = table.readInteger(m_section, QStringLiteral("EESAVE"), -1);
}

void EmulatedAvrChip::setFuseByte(int index, quint8 value) {
    // Lock bits are only ever programmed; erasing the chip is the one way back.
    m_fuses[index] = index == 3 ? (m_fuses[3] & value) : value;
}

bool EmulatedAvrChip::bitProgrammed(int position) const {
    return position >= 0 && (m_fuses[(position >> 4) & 3] & (1 << (position & 7))) == 0;
}

bool EmulatedAvrChip::writeLocked() const {
    return bitProgrammed(m_lb1) || bitProgrammed(m_lb2);
}

bool EmulatedAvrChip::readLocked() const {
    return bitProgrammed(m_lb1) && bitProgrammed(m_lb2);
}

QByteArray EmulatedAvrChip::readProgram() {
    QByteArray out;
    if (m_wordMode) {
        const int offset = (m_address * 2) % m_flash.size();
        out.append(m_flash[offset + 1]).append(m_flash[offset]);
    } else {
        out.append(m_flash[m_address % m_flash.size()]);
    }
    if (readLocked())
        out.fill(char(0xFF));
    ++m_address;
    return out;
}

void EmulatedAvrChip::programFlashByte(int offset, quint8 value) {
    // Programming only clears bits; an erase sets them again.
    if (!writeLocked())
        m_flash[offset] = char(quint8(m_flash[offset]) & value);
}

void EmulatedAvrChip::loadProgram(quint8 value, bool highByte) {
    const int offset = m_wordMode ? (m_address * 2 + (highByte ? 1 : 0)) % m_flash.size() : m_address % m_flash.size();
    if (m_paged)
        m_pageBuffer[offset % m_pageSize] = char(value);
    else
        programFlashByte(offset, value);
    if (highByte || !m_wordMode)
        ++m_address;
}

void EmulatedAvrChip::commitPage() {
    const int byteAddress = (m_wordMode ? m_address * 2 : m_address) % m_flash.size();
    const int start = byteAddress - byteAddress % m_pageSize;
    for (int i = 0; i < m_pageSize; ++i)
        programFlashByte(start + i, quint8(m_pageBuffer[i]));
    m_pageBuffer.fill(char(0xFF));
}

quint8 EmulatedAvrChip::readEeprom() {
    const quint8 value = m_eeprom.isEmpty() || readLocked() ? 0xFF : quint8(m_eeprom[m_address % m_eeprom.size()]);
    ++m_address;
    return value;
}

void EmulatedAvrChip::writeEeprom(quint8 value) {
    if (!m_eeprom.isEmpty() && !writeLocked())
        m_eeprom[m_address % m_eeprom.size()] = char(value);
    ++m_address;
}

void EmulatedAvrChip::erase() {
    m_flash.fill(char(0xFF));
    m_pageBuffer.fill(char(0xFF));
    if (!bitProgrammed(m_eesave))
        m_eeprom.fill(char(0xFF));
    m_fuses[3] = 0xFF;
}

quint8 EmulatedAvrChip::instruction(quint8 b0, quint8 b1, quint8 b2, quint8 b3) {
    if (b0 == 0xAC) {
        switch (b1) {
        case 0xA0:
            setFuseByte(0, b3);
            break;
        case 0xA8:
            setFuseByte(1, b3);
            break;
        case 0xA4:
            setFuseByte(2, b3);
            break;
        case 0xE0:
            setFuseByte(3, b3);
            break;
        case 0x80:
            erase();
            break;
        default:
            break;
        }
        return b2;
    }
    if (b0 == 0x50 && b1 == 0x00)
        return m_fuses[0];
    if (b0 == 0x58 && b1 == 0x08)
        return m_fuses[1];
    if (b0 == 0x50 && b1 == 0x08)
        return m_fuses[2];
    if (b0 == 0x58 && b1 == 0x00)
        return m_fuses[3];
    if (b0 == 0x30)
        return (b2 & 3) < 3 ? quint8(m_signature[b2 & 3]) : 0xFF;
    return 0x00;
}
