#pragma once

#include <QString>
#include <QStringList>

// The history of phone numbers offered by the phone editor: sorted ignoring case, duplicates ignored.
class PhoneHistory {
public:
    void add(const QString& phone);
    const QStringList& entries() const { return m_entries; }

    // The stored form: every entry followed by a line break; the empty history is the empty text.
    QString text() const;
    // Takes the stored form (either line break), skipping blank lines.
    void setText(const QString& text);

private:
    QStringList m_entries;
};
