#include "avrloader/IniStore.h"

void IniStore::setLines(const QStringList& lines) {
    m_sections.clear();
    QHash<QString, QString>* current = nullptr;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = &m_sections[line.mid(1, line.size() - 2).trimmed().toUpper()];
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current == nullptr || eq <= 0)
            continue;
        current->insert(line.left(eq).trimmed().toUpper(), line.mid(eq + 1).trimmed());
    }
}

bool IniStore::sectionExists(const QString& section) const {
    return m_sections.contains(section.toUpper());
}

QString IniStore::readString(const QString& section, const QString& key, const QString& fallback) const {
    const auto sectionIt = m_sections.constFind(section.toUpper());
    if (sectionIt == m_sections.cend())
        return fallback;
    return sectionIt->value(key.toUpper(), fallback);
}

int IniStore::readInteger(const QString& section, const QString& key, int fallback) const {
    const QString text = readString(section, key, QString());
    bool ok = false;
    const int value =
        text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok ? value : fallback;
}
