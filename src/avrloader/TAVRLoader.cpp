#include "avrloader/TAVRLoader.h"

#include "avrloader/IntelHex.h"
#include "config/Gadgets.h"
#include "platform/KavorError.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

constexpr quint8 CR = 0x0D;
constexpr int readIntervalMs = 500;
constexpr int readMsPerByte = 20;
constexpr int readExtraMs = 500;
constexpr int writeMsPerByte = 1;
constexpr int writeExtraMs = 50;
constexpr int pageCommitPauseMs = 30;
constexpr int erasePauseMs = 200;
constexpr int fusePauseMs = 30;

int g_baudRate = 19200;

struct SectionEntry {
    TChipType type;
    const char* name;
};

// Searched in order; the list ends with the name of "no chip", which names no section.
constexpr SectionEntry sectionNames[] = {
    {ct90S1200, "90S1200"},    {ct90S2313, "90S2313"}, {ct90S2323, "90S2323"},   {ct90S2333, "90S2333"},
    {ct90S2343, "90S2343"},    {ct90S4414, "90S4414"}, {ct90S4433, "90S4433"},   {ct90S4434, "90S4434"},
    {ct90S8515, "90S8515"},    {ct90S8535, "90S8535"}, {ctMEGA103, "MEGA103"},   {ctMEGA16, "MEGA16"},
    {ctMEGA161, "MEGA161"},    {ctMEGA162, "MEGA162"}, {ctMEGA163, "MEGA163"},   {ctMEGA168, "MEGA168"},
    {ctMEGA169, "MEGA169"},    {ctMEGA128, "MEGA128"}, {ctMEGA2561, "MEGA2561"}, {ctMEGA1281, "MEGA1281"},
    {ct90CAN128, "90CAN128"},  {ctMEGA32, "MEGA32"},   {ctMEGA323, "MEGA323"},   {ctMEGA328, "MEGA328"},
    {ctMEGA328P, "MEGA328P"},  {ctMEGA48, "MEGA48"},   {ctMEGA64, "MEGA64"},     {ct90USB64, "90USB64"},
    {ct90USB128, "90USB128"},  {ctMEGA8, "MEGA8"},     {ctMEGA88, "MEGA88"},     {ctMEGA8515, "MEGA8515"},
    {ctMEGA8535, "MEGA8535"},  {ctTINY12, "TINY12"},   {ctTINY13, "TINY13"},     {ctTINY2313, "TINY2313"},
    {ctTINY15L, "TINY15L"},    {ctTINY26, "TINY26"},   {ctTINY25, "TINY25"},     {ctTINY45, "TINY45"},
    {ct89S8252, "89S8252"},    {ct89S53, "89S53"},     {ct89S52, "89S52"},       {ct89S51, "89S51"},
    {ct17C65, "17C65"},        {ct17C128, "17C128"},   {ct17C256, "17C256"},     {ct17C512, "17C512"},
    {ct17C010, "17C010"},      {ct17C020, "17C020"},   {ct17C002, "17C002"},     {ctMEGA644, "MEGA644"},
    {ctTINY87, "TINY87"},      {ctTINY167, "TINY167"}, {ctMEGA1284, "MEGA1284"}, {ctMEGA1284P, "MEGA1284P"},
    {ctUnknown, "Неизвестно"},
};

// Indexed by TFuseItem up to fSELFPRGEN.
constexpr const char* fuseNames[] = {
    "FSTRT",   "BLB12",   "BLB11",   "BLB02",   "BLB01", "LB2",    "LB1",    "RCEN",   "CKSEL0",
    "CKSEL1",  "CKSEL2",  "CKSEL3",  "SUT0",    "SUT1",  "BODEN",  "BODLEV", "BOOTRS", "BOOTSZ0",
    "BOOTSZ1", "CKOPT",   "JTAGEN",  "OCDEN",   "WDTON", "M103C",  "RSTDIS", "SPIEN",  "PLLCK",
    "EESAVE",  "BODLEV0", "BODLEV1", "BODLEV2", "CKOUT", "CKDIV8", "DWEN",   "HWBE",   "SELFPRGEN",
};
static_assert(std::size(fuseNames) == fEND);

// The fuse and lock bytes in the order they are written and read, with the chip instructions for each.
struct FuseByte {
    quint8 writeSelector;
    quint8 read1;
    quint8 read2;
    const char* readFailure;
};
constexpr FuseByte fuseBytes[] = {
    {0xA0, 0x50, 0x00, "Нет ответа от программатора (read fuse low byte)"},
    {0xA8, 0x58, 0x08, "Нет ответа от программатора (read fuse high byte)"},
    {0xA4, 0x50, 0x08, "Нет ответа от программатора (read extended fuse byte)"},
    {0xE0, 0x58, 0x00, "Нет ответа от программатора (read lock bits)"},
};

[[noreturn]] void fail(const char* text) {
    throw KavorError(QString::fromUtf8(text));
}

// Bit of a fuse position (bits 0-2 bit number, bits 4-5 byte) in the four bytes read or written as one value.
int fuseBit(int position) {
    return ((position >> 4) & 3) * 8 + (position & 7);
}

} // namespace

TAVRLoader::TAVRLoader(std::unique_ptr<SerialPort> port) : m_port(std::move(port)) {}

TAVRLoader::~TAVRLoader() {
    try {
        SetActive(false);
    } catch (const KavorError&) {
        // The port is closed all the same; nobody is left to tell.
    }
}

void TAVRLoader::SetActive(bool active) {
    if (active == m_active)
        return;
    if (active) {
        open();
        return;
    }
    try {
        SetProgramming(false);
    } catch (const KavorError&) {
        closePort();
        throw;
    }
    closePort();
}

void TAVRLoader::open() {
    if (!m_port->open(m_portName))
        ThrowLastError(QStringLiteral("Открытие ") + m_portName + QStringLiteral(" - "));
    try {
        if (!m_port->setLineSettings(g_baudRate) || !m_port->setDtr(false) || !m_port->setRts(true))
            ThrowLastError(QStringLiteral("Параметры ") + m_portName + QStringLiteral(" - "));
        m_port->clearError();
        CheckFeatureLoaded();
    } catch (const KavorError&) {
        m_port->close();
        throw;
    }
    m_active = true;
}

void TAVRLoader::closePort() {
    m_programming = false;
    m_port->close();
    m_active = false;
}

void TAVRLoader::abandon() {
    try {
        SetProgramming(false);
    } catch (const KavorError&) {
        // The first failure is the one to report.
    }
    closePort();
}

template <typename Operation> auto TAVRLoader::guarded(Operation operation) {
    try {
        return operation();
    } catch (const KavorError&) {
        abandon();
        throw;
    }
}

void TAVRLoader::SetPortName(const QString& name) {
    if (name == m_portName)
        return;
    SetActive(false);
    m_portName = name;
}

int TAVRLoader::GetBaudRate() {
    return g_baudRate;
}

void TAVRLoader::SetBaudRate(int baudRate) {
    if (baudRate == g_baudRate)
        return;
    SetActive(false);
    g_baudRate = baudRate;
}

void TAVRLoader::SetUccType(TUccType type) {
    if (type == m_uccType)
        return;
    SetProgramming(false);
    m_uccType = type;
}

void TAVRLoader::SetEraseBeforeWrite(bool erase) {
    if (erase == m_eraseBeforeWrite)
        return;
    SetProgramming(false);
    m_eraseBeforeWrite = erase;
}

void TAVRLoader::SetFuses(const TFuses& fuses) {
    if (fuses == m_fuses)
        return;
    SetProgramming(false);
    m_fuses = fuses;
}

void TAVRLoader::SetProgramming(bool on) {
    if (on == m_programming)
        return;
    try {
        if (!m_active)
            open();
        if (on) {
            const quint8 deviceCode = m_uccType == ut5v ? (m_type2 | 0x10) : (m_type2 & ~0x10);
            const auto busy = static_cast<quint8>(m_table.readInteger(m_section, QStringLiteral("BUSY"), 0));
            if (!acknowledged({'T', deviceCode}))
                fail("Нет ответа от программатора (установка типа)");
            if (!acknowledged({'P'}, 800))
                fail("Нет ответа от программатора  (вход в программирование)");
            if (!acknowledged({'B', busy}, 500))
                fail("Нет ответа от программатора  (загрузка байта полинга)");
            if (!acknowledged({'x'}))
                fail("Нет ответа от программатора (индикация)");
        } else {
            quint8 reply = 0;
            exchange(reinterpret_cast<const quint8*>("L"), 1, &reply, 1, 500);
            exchange(reinterpret_cast<const quint8*>("y"), 1, &reply, 1, 0);
        }
        m_programming = on;
    } catch (const KavorError&) {
        closePort();
        throw;
    }
}

void TAVRLoader::ThrowLastError(const QString& prefix) const {
    throw KavorError(prefix + m_port->errorText());
}

int TAVRLoader::exchange(const quint8* cmd, int cmdLen, quint8* reply, int replyLen, int delayMs) {
    const QByteArray out(reinterpret_cast<const char*>(cmd), cmdLen);
    if (m_port->write(out.constData(), cmdLen, writeMsPerByte * cmdLen + writeExtraMs) != cmdLen)
        ThrowLastError(QStringLiteral("Запись ") + m_portName + QStringLiteral(" - "));
    if (delayMs > 0)
        QThread::msleep(delayMs);
    const qint64 got =
        m_port->read(reinterpret_cast<char*>(reply), replyLen, readMsPerByte * replyLen + readExtraMs, readIntervalMs);
    if (got < 0)
        ThrowLastError(QStringLiteral("Чтение ") + m_portName + QStringLiteral(" - "));
    return int(got);
}

bool TAVRLoader::ExecuteCmd(const quint8* cmd, int cmdLen, quint8* reply, int replyLen, int delayMs) {
    return exchange(cmd, cmdLen, reply, replyLen, delayMs) == replyLen;
}

bool TAVRLoader::acknowledged(std::initializer_list<quint8> cmd, int delayMs) {
    quint8 reply = 0;
    return ExecuteCmd(cmd.begin(), int(cmd.size()), &reply, 1, delayMs) && reply == CR;
}

void TAVRLoader::setAddress(int address, const char* failure) {
    if (!acknowledged({'A', quint8(address >> 8), quint8(address)}))
        fail(failure);
}

void TAVRLoader::progress(int maxPosition, int curPosition) {
    if (m_onProgress)
        m_onProgress(*this, maxPosition, curPosition);
}

QString TAVRLoader::GetVersion() {
    try {
        if (!m_active)
            open();
        std::vector<quint8> reply(50, 0);
        const int got = exchange(reinterpret_cast<const quint8*>("SF"), 2, reply.data(), int(reply.size()), 0);
        if (got == 0 || reply[0] == 0)
            fail("Нет ответа от программатора (Чтение версии)");
        const auto end = std::find(reply.begin(), reply.end(), 0);
        return FromCp1251(reinterpret_cast<const char*>(reply.data()), int(end - reply.begin()));
    } catch (const KavorError&) {
        closePort();
        throw;
    }
}

QString TAVRLoader::GetSignatureReal() {
    if (!m_active || m_ignoreSignature)
        return QString();
    try {
        const bool wasProgramming = m_programming;
        SetProgramming(true);
        quint8 reply[3] = {};
        if (!ExecuteCmd(reinterpret_cast<const quint8*>("s"), 1, reply, 3, 0))
            fail("Нет ответа от программатора (чтение сигнатуры)");
        SetProgramming(wasProgramming);
        return QStringLiteral("%1%2%3")
            .arg(reply[2], 2, 16, QLatin1Char('0'))
            .arg(reply[1], 2, 16, QLatin1Char('0'))
            .arg(reply[0], 2, 16, QLatin1Char('0'))
            .toUpper();
    } catch (const KavorError&) {
        closePort();
        throw;
    }
}

void TAVRLoader::preamble(int memorySize) {
    if (m_chipType == ctUnknown)
        fail("Тип микросхемы не установлен");
    if (memorySize == 0)
        fail("Микросхема не имеет памяти указанного типа");
    SetProgramming(true);
    if (!m_ignoreSignature && GetSignatureReal() != GetSignatureTemplate())
        fail("Тип микросхемы указан неверно");
}

int TAVRLoader::ReadEEPROM(quint8* buffer, int count) {
    return guarded([&] {
        const int size = GetSizeEEPROM();
        preamble(size);
        setAddress(0, "Нет ответа от программатора (установка адреса)");
        int i = 0;
        for (; i < size; ++i) {
            if (i % 16 == 0)
                progress(size, i);
            if (i >= count)
                break;
            if (!ExecuteCmd(reinterpret_cast<const quint8*>("d"), 1, buffer + i, 1, 0))
                fail("Нет ответа от программатора (чтение)");
        }
        progress(size, size);
        SetProgramming(false);
        return i;
    });
}

int TAVRLoader::WriteEEPROM(const quint8* buffer, int count, int address) {
    return guarded([&] {
        preamble(GetSizeEEPROM());
        setAddress(address, "Нет ответа от программатора (установка адреса)");
        for (int p = 0; p < count; ++p) {
            if (p % 16 == 0)
                progress(address + count, address + p);
            if (!acknowledged({'D', buffer[p]}))
                fail("Ошибка записи");
        }
        progress(address + count, address + count - 1);
        SetProgramming(false);
        return count;
    });
}

int TAVRLoader::ReadFlash(quint8* buffer, int count) {
    return guarded([&] {
        const int size = GetSizeFlash();
        preamble(size);
        setAddress(0, "Нет ответа от программатора (установка адреса)");
        const quint8 read = 'R';
        int n = 0;
        for (; n < size && n < count; n += 2) {
            if (n % 16 == 0)
                progress(size, n);
            quint8 bytes[2] = {};
            const bool arrived = wordMode()
                                     ? ExecuteCmd(&read, 1, bytes, 2, 0)
                                     : ExecuteCmd(&read, 1, &bytes[1], 1, 0) && ExecuteCmd(&read, 1, bytes, 1, 0);
            if (!arrived)
                fail("Нет ответа от программатора (чтение)");
            // The programmer sends a word high byte first; the low byte belongs at the even address.
            buffer[n] = bytes[1];
            if (n + 1 < count)
                buffer[n + 1] = bytes[0];
        }
        progress(size, count - 1);
        SetProgramming(false);
        return qMin(n, count);
    });
}

int TAVRLoader::WriteFlash(const quint8* buffer, int count) {
    return guarded([&] {
        const int size = GetSizeFlash();
        preamble(size);
        if (m_eraseBeforeWrite)
            ChipErase();
        const int pages = GetPages();
        const int pageSize = size / (pages + 1);
        for (int k = 0; k <= pages && k * pageSize < count; ++k) {
            const int start = k * pageSize;
            const int end = qMin(start + pageSize, count);
            if (std::all_of(buffer + start, buffer + end, [](quint8 b) { return b == 0xFF; }))
                continue;
            const int pageAddress = wordMode() ? start / 2 : start;
            setAddress(pageAddress, "Ошибка установки адреса");
            for (int j = 0; j < pageSize; ++j) {
                const int p = start + j;
                if (p % 8 == 0)
                    progress(size, p);
                const quint8 value = p < count ? buffer[p] : 0xFF;
                if (!acknowledged({quint8(wordMode() && j % 2 == 0 ? 'c' : 'C'), value}))
                    fail("Ошибка записи данных");
            }
            if (pages != 0) {
                setAddress(pageAddress, "Ошибка установки адреса");
                if (!acknowledged({'m'}))
                    fail("Ошибка записи");
                QThread::msleep(pageCommitPauseMs);
            }
        }
        progress(size, count - 1);
        SetProgramming(false);
        return 0;
    });
}

void TAVRLoader::ChipErase() {
    guarded([&] {
        const bool wasProgramming = m_programming;
        SetProgramming(true);
        if (!acknowledged({'e'}))
            fail("Ошибка при стирании");
        QThread::msleep(erasePauseMs);
        SetProgramming(wasProgramming);
    });
}

void TAVRLoader::WriteFuse() {
    guarded([&] {
        // Fuse bytes written for no chip could set clock or reset fuses the attached chip cannot live with.
        if (m_chipType == ctUnknown)
            fail("Тип микросхемы не установлен");
        quint32 value = 0xFFFFFFFF;
        for (int item = fFSTRT; item < fEND; ++item) {
            const int position = GetFuseNum(GetFuseName(TFuseItem(item)));
            if (m_fuses.test(item) && position != -1)
                value &= ~(quint32(1) << fuseBit(position));
        }
        SetProgramming(true);
        if (m_eraseBeforeWrite)
            ChipErase();
        for (int i = 0; i < 4; ++i) {
            if (!acknowledged({';', 0xAC, fuseBytes[i].writeSelector, 0x00, quint8(value >> (8 * i))}, fusePauseMs))
                fail("Нет ответа от программатора (write fuse & lock bytes)");
        }
        SetProgramming(false);
    });
}

void TAVRLoader::ReadFuse() {
    guarded([&] {
        SetProgramming(true);
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const quint8 cmd[] = {':', fuseBytes[i].read1, fuseBytes[i].read2, 0x00};
            quint8 reply[2] = {};
            if (!ExecuteCmd(cmd, 4, reply, 2, fusePauseMs) || reply[1] != CR)
                fail(fuseBytes[i].readFailure);
            value |= quint32(reply[0]) << (8 * i);
        }
        SetProgramming(false);
        m_fuses.reset();
        for (int item = fFSTRT; item < fEND; ++item) {
            const int position = GetFuseNum(GetFuseName(TFuseItem(item)));
            if (position != -1 && (value & (quint32(1) << fuseBit(position))) == 0)
                m_fuses.set(item);
        }
    });
}

quint8 TAVRLoader::SPI(quint8 value) {
    quint8 cmd[] = {'u', value};
    bool arrived = false;
    try {
        if (!m_active)
            open();
        arrived = ExecuteCmd(cmd, 2, cmd, 1, 0);
    } catch (const KavorError&) {
        closePort();
        throw;
    }
    if (!arrived)
        fail("Нет ответа от программатора (SPI)");
    return cmd[0];
}

int TAVRLoader::ReadEEPROM(QStringList& hexText) {
    hexText.clear();
    const int size = GetSizeEEPROM();
    if (size == 0)
        return 0;
    std::vector<quint8> buffer(size, 0xFF);
    ReadEEPROM(buffer.data(), size);
    BinToHex(hexText, buffer.data(), size, 0);
    return 0;
}

int TAVRLoader::ReadFlash(QStringList& hexText) {
    hexText.clear();
    const int size = GetSizeFlash();
    if (size == 0)
        return 0;
    std::vector<quint8> buffer(size, 0xFF);
    const int read = ReadFlash(buffer.data(), size);
    BinToHex(hexText, buffer.data(), size, 0);
    return read;
}

int TAVRLoader::WriteEEPROM(const QStringList& hexText) {
    const int size = GetSizeEEPROM();
    if (size == 0)
        return 0;
    std::vector<quint8> buffer(size, 0xFF);
    int low = 0;
    int high = 0;
    HexToBin(hexText, buffer.data(), size, &low, &high);
    if (high < low)
        return 0;
    return WriteEEPROM(buffer.data() + low, high - low + 1, low);
}

int TAVRLoader::WriteFlash(const QStringList& hexText) {
    const int size = GetSizeFlash();
    if (size == 0)
        return 0;
    std::vector<quint8> buffer(size, 0xFF);
    HexToBin(hexText, buffer.data(), size);
    return WriteFlash(buffer.data(), size);
}

void TAVRLoader::CheckFeatureLoaded() {
    if (m_tableLoaded)
        return;
    QFile file(QStringLiteral(":/avrloader/ChipTable.ini"));
    if (!file.open(QIODevice::ReadOnly))
        fail("Отсутствует описание типов");
    m_table.setLines(QString::fromLatin1(file.readAll()).split(u'\n'));
    m_tableLoaded = true;
}

QString TAVRLoader::GetSectionName(TChipType type) {
    for (const SectionEntry& entry : sectionNames) {
        if (entry.type == type)
            return QString::fromUtf8(entry.name);
    }
    return QString();
}

QString TAVRLoader::GetFuseName(TFuseItem item) {
    return item >= fFSTRT && item < fEND ? QString::fromLatin1(fuseNames[item]) : QString();
}

void TAVRLoader::SetChipType(TChipType type) {
    if (type == m_chipType)
        return;
    SetProgramming(false);
    CheckFeatureLoaded();
    const QString section = type == ctUnknown ? QString() : GetSectionName(type);
    if (!section.isEmpty() && m_table.sectionExists(section)) {
        m_chipType = type;
        m_section = section;
        m_type2 = static_cast<quint8>(m_table.readInteger(section, QStringLiteral("TYPE2"), 0));
    } else {
        m_chipType = ctUnknown;
        m_section.clear();
        m_type2 = 0;
    }
}

int TAVRLoader::GetSizeFlash() const {
    return m_chipType == ctUnknown ? 0 : m_table.readInteger(m_section, QStringLiteral("SIZEF"), 0);
}

int TAVRLoader::GetSizeEEPROM() const {
    return m_chipType == ctUnknown ? 0 : m_table.readInteger(m_section, QStringLiteral("SIZEE"), 0);
}

int TAVRLoader::GetPages() const {
    return m_chipType == ctUnknown ? 0 : m_table.readInteger(m_section, QStringLiteral("PAGES"), 0);
}

QString TAVRLoader::GetSignatureTemplate() const {
    return m_chipType == ctUnknown ? QString()
                                   : m_table.readString(m_section, QStringLiteral("SIGN"), QStringLiteral("0"));
}

int TAVRLoader::GetFuseNum(const QString& name) const {
    return m_chipType == ctUnknown ? -1 : m_table.readInteger(m_section, name, -1);
}
