#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Points the program's settings at a folder of its own for the life of the test executable, and empties
// them before each test.
class TempSettings {
public:
    TempSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }

    static void clear() { QSettings(QStringLiteral("Norvask"), QStringLiteral("KavorSetup")).clear(); }

    // Whether the value is stored at all (an empty text is stored).
    static bool contains(const QString& name) {
        return QSettings(QStringLiteral("Norvask"), QStringLiteral("KavorSetup")).contains(name);
    }

private:
    QTemporaryDir m_dir;
};
