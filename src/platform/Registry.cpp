#include "platform/Registry.h"

#include <QSettings>

namespace {

const QString organization = QStringLiteral("Norvask");
const QString application = QStringLiteral("KavorSetup");

QVariant readValue(const QString& name) {
    return QSettings(organization, application).value(name);
}

} // namespace

int RegReadInt(const QString& name, int defaultValue) {
    const QVariant stored = readValue(name);
    // A text that is not an integer (a hand-edited store, a value of another type) must not stop the
    // program's start: it reads as if it were missing.
    bool ok = false;
    const int value = stored.toString().toInt(&ok);
    return ok ? value : defaultValue;
}

QString RegReadStr(const QString& name, const QString& defaultValue) {
    const QVariant stored = readValue(name);
    if (!stored.isValid() || stored.typeId() == QMetaType::QStringList || !stored.canConvert<QString>())
        return defaultValue;
    return stored.toString();
}

void RegWriteInt(const QString& name, int value) {
    QSettings(organization, application).setValue(name, value);
}

void RegWriteStr(const QString& name, const QString& value) {
    QSettings(organization, application).setValue(name, value);
}
