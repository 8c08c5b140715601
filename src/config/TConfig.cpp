#include "config/TConfig.h"

#include "config/Gadgets.h"

namespace {

// A value read back loses leading and trailing blanks and control characters.
QString trimmed(const QString& value) {
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && value.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && value.at(end - 1).unicode() <= 0x20)
        --end;
    return value.mid(begin, end - begin);
}

// Numbers are kept as plain decimal text, because that text goes unchanged into files and device commands:
// the hexadecimal and signed forms the integer conversion also knows are refused here.
int decimalValue(const QString& value) {
    if (value.isEmpty() || value.size() > 9)
        return -1;
    int n = 0;
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

bool isValidNumber(const TParamDesc& row, const QString& value) {
    const int n = decimalValue(value);
    const int limit = row.Size > 1 ? 65535 : row.has(pfMax99) ? 99 : 255;
    return n >= 0 && n <= limit;
}

bool isValidText(const TParamDesc& row, const QString& value) {
    // Every character must survive the 8-bit code page of files and devices, so a length in characters
    // is a length in bytes. A control character would split the line a file or a device command carries
    // the value in. The image keeps a terminating zero except in the PIN field.
    if (!IsCp1251Text(value))
        return false;
    for (const QChar c : value) {
        if (c.unicode() < 0x20)
            return false;
    }
    const qsizetype need = value.size() + (row.code() == QLatin1String("G04") ? 0 : 1);
    if (need > row.Size)
        return false;
    return !row.has(pfPhone) || IsValidPhone(value, row.Size);
}

bool isValidValue(const TParamDesc& row, const QString& value) {
    switch (row.Kind) {
    case pkNumber:
    case pkChoice:
        return isValidNumber(row, value);
    case pkText:
        return isValidText(row, value);
    case pkAddress:
        return TextToAddress(value, nullptr);
    case pkIdent:
        return TextToIdent(value, nullptr);
    default:
        return false;
    }
}

} // namespace

bool TConfig::SetDeviceType(int type) {
    if (type == m_deviceType)
        return false;
    resetLines(type);
    return true;
}

void TConfig::resetLines(int type) {
    m_lines.clear();
    m_deviceType = type;
    const quint32 mask = Mask();
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (row->Flags & mask)
            m_lines.append({row->code(), QStringLiteral(" "), alEditable});
    }
}

int TConfig::indexOf(const QString& code) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).code.compare(code, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString TConfig::GetValue(const QString& code, int* level) const {
    if (level)
        *level = alEditable;
    const int i = indexOf(code);
    if (i < 0)
        return {};
    if (level)
        *level = m_lines.at(i).level;
    return trimmed(m_lines.at(i).value);
}

bool TConfig::SetAccess(const QString& code, int level) {
    const int i = indexOf(code);
    if (i < 0 || !FindParam(code, 0))
        return false;
    m_lines[i].level = level;
    return true;
}

bool TConfig::SetValue(const QString& code, const QString& value, int level) {
    const int i = indexOf(code);
    if (i < 0)
        return false;
    const TParamDesc* row = FindParam(code, 0);
    if (!row || !isValidValue(*row, value))
        return false;
    m_lines[i] = {code, value, level};
    return true;
}

const TParamDesc* TConfig::FindParam(const QString& code, int index) const {
    return ::FindParam(Mask(), code, index);
}

void TConfig::assignValue(const QString& code, const QString& value) {
    const QString stored = value.isEmpty() ? QStringLiteral(" ") : value;
    const int i = indexOf(code);
    if (i < 0)
        m_lines.append({code, stored, alEditable});
    else
        m_lines[i].value = stored;
}
