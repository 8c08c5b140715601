#pragma once

#include <QString>

// The program's persistent settings: plain named values under one key, QSettings("Norvask", "KavorSetup")
// (on Windows the registry key HKEY_CURRENT_USER\Software\Norvask\KavorSetup, on Linux the user's config
// folder). Reads give the default when the value is missing or does not hold a value of the asked type;
// writes that cannot reach the store are dropped without a message.
int RegReadInt(const QString& name, int defaultValue);
QString RegReadStr(const QString& name, const QString& defaultValue);
void RegWriteInt(const QString& name, int value);
void RegWriteStr(const QString& name, const QString& value);
