#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// A read-only INI text in memory: "[section]" lines open sections, "key=value" lines fill them. Blanks
// around the value are not part of it; lookups of section and key names ignore case.
class IniStore {
public:
    // Replaces what the store held; lines that are neither a section nor a key are ignored.
    void setLines(const QStringList& lines);

    bool sectionExists(const QString& section) const;
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // Decimal or "0x" hexadecimal; `fallback` when the key is absent or its value is not a number.
    int readInteger(const QString& section, const QString& key, int fallback) const;

private:
    QHash<QString, QHash<QString, QString>> m_sections;
};
