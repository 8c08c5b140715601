// The second-generation device exchanges its parameters as one command per base code: the rows BASE-1,
// BASE-2, ... of the catalogue travel together as a comma-separated list or, for bit rows, as one mask.

#include "config/Gadgets.h"
#include "config/TConfig.h"
#include "platform/KavorError.h"

#include <QList>
#include <QPair>

#include <algorithm>

namespace {

// The base code of a row's code: the part before "-", or the whole code.
QString baseCode(const QString& code) {
    const qsizetype dash = code.indexOf(u'-');
    return dash < 0 ? code : code.left(dash);
}

// The N of a BASE-N code, 0 for a code without an index.
int codeIndex(const QString& code) {
    const qsizetype dash = code.indexOf(u'-');
    int n = 0;
    if (dash < 0 || !TextToInt(code.mid(dash + 1), n))
        return 0;
    return n;
}

KavorError badValue(const TParamDesc& row) {
    return KavorError(QStringLiteral("Недопустимое значение параметра '") + row.name() + QStringLiteral("'"));
}

// Decodes one value of `row` from the front of `reply`; false when the reply does not fit. `more` tells
// whether a plain number list still has values left after this one.
bool decodeValue(const TParamDesc& row, int index, QString& reply, int& mask, QString& value, bool& more) {
    more = false;
    switch (row.Kind) {
    case pkNumber:
    case pkChoice: {
        if (row.has(pfBit)) {
            if (index == 1) {
                mask = TakeNumber(reply);
                if (mask < 0)
                    return false;
            }
            value = index <= 31 && (mask >> (index - 1) & 1) ? QStringLiteral("1") : QStringLiteral("0");
            return true;
        }
        const int n = TakeNumber(reply);
        if (n < 0)
            return false;
        value = QString::number(n);
        more = !reply.trimmed().isEmpty();
        return true;
    }
    case pkText:
        value = reply.trimmed();
        return true;
    case pkAddress: {
        // A number above 255 is no address byte: refused rather than stored as an address no one can use.
        quint8 bytes[4];
        for (quint8& b : bytes) {
            const int n = TakeNumber(reply);
            if (n < 0 || n > 255)
                return false;
            b = quint8(n);
        }
        value = AddressToText(bytes);
        return true;
    }
    case pkIdent: {
        // Each field is one hexadecimal digit; a larger one would shift into its neighbours unnoticed.
        int x = 0;
        for (int i = 0; i < 4; ++i) {
            const int d = TakeNumber(reply);
            if (d < 0 || d > 15)
                return false;
            x = x * 16 + d;
        }
        value = QStringLiteral("%1").arg(x, 4, 16, QLatin1Char('0')).toUpper();
        return true;
    }
    default:
        return false;
    }
}

// The wire form of one row's value merged into what its base code already holds.
QString encodeValue(const TParamDesc& row, const QString& code, const QString& value, const QString& acc) {
    switch (row.Kind) {
    case pkText:
        return value;
    case pkAddress: {
        quint8 bytes[4];
        if (!TextToAddress(value, bytes))
            throw badValue(row);
        return QStringLiteral("%1,%2,%3,%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
    }
    case pkIdent: {
        int x = -1;
        if (value.size() != 4 || !TextToInt(QStringLiteral("0x") + value, x) || x < 0)
            throw KavorError(QStringLiteral("Не указан идентификатор"));
        return QStringLiteral("%1,%2,%3,%4").arg(x >> 12 & 15).arg(x >> 8 & 15).arg(x >> 4 & 15).arg(x & 15);
    }
    case pkNumber:
    case pkChoice:
        if (row.has(pfBit)) {
            int n = 0;
            int merged = 0;
            if (!TextToInt(value, n) || (!acc.isEmpty() && !TextToInt(acc, merged)))
                throw badValue(row);
            const int index = codeIndex(code);
            const int bit = n != 0 && index >= 1 && index <= 31 ? 1 << (index - 1) : 0;
            return QString::number(bit | merged);
        }
        return acc.isEmpty() ? value : acc + u',' + value;
    default:
        return acc;
    }
}

} // namespace

void TConfig::GetReadCodes(QStringList& list) const {
    list.clear();
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        const QString code = row->code();
        if (!row->has(pfGen2) || code.startsWith(u'#'))
            continue;
        const qsizetype dash = code.indexOf(u'-');
        if (dash < 0)
            list.append(code);
        else if (code.mid(dash + 1, 1) == u"1")
            list.append(code.left(dash));
    }
}

bool TConfig::ApplyReply(const QString& code, QString reply) {
    const TParamDesc* row = FindParam(code, 0);
    int mask = 0;
    for (int i = 1; row; ++i) {
        QString value;
        bool more = false;
        if (!decodeValue(*row, i, reply, mask, value, more))
            return false;
        int level = alEditable;
        GetValue(row->code(), &level);
        if (level != alNoRead)
            assignValue(row->code(), value);
        const bool bits = row->has(pfBit);
        if (!bits && !more)
            return true;
        row = FindParam(code, i + 1);
        if (!row)
            return bits;
    }
    return false;
}

void TConfig::GetWriteList(QStringList& list) const {
    QList<QPair<QString, QString>> commands;
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (!row->has(pfGen2) || row->has(pfReadOnly))
            continue;
        const QString code = row->code();
        const QString base = baseCode(code);
        auto it = std::find_if(commands.begin(), commands.end(), [&](const auto& c) { return c.first == base; });
        if (it == commands.end()) {
            commands.append({base, QString()});
            it = commands.end() - 1;
        }
        const QString acc = it->second.trimmed();
        const QString value = encodeValue(*row, code, GetValue(code), acc);
        it->second = value.isEmpty() ? QStringLiteral(" ") : value;
    }
    list.clear();
    for (const auto& [base, value] : commands)
        list.append(base + u'=' + value);
}
