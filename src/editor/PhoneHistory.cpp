#include "editor/PhoneHistory.h"

#include <QRegularExpression>

#include <algorithm>

void PhoneHistory::add(const QString& phone) {
    const auto less = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    const auto at = std::lower_bound(m_entries.begin(), m_entries.end(), phone, less);
    if (at != m_entries.end() && at->compare(phone, Qt::CaseInsensitive) == 0)
        return;
    m_entries.insert(at, phone);
}

QString PhoneHistory::text() const {
    QString result;
    for (const QString& entry : m_entries)
        result += entry + QLatin1Char('\n');
    return result;
}

void PhoneHistory::setText(const QString& text) {
    m_entries.clear();
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineBreak, Qt::SkipEmptyParts))
        add(line);
}
