#include "platform/ProgramSettings.h"

#include "platform/Registry.h"

#include <algorithm>

ProgramSettings ProgramSettings::read() {
    ProgramSettings s;
    s.TypeProgr = RegReadInt(QStringLiteral("TypeProgr"), s.TypeProgr);
    s.Port = RegReadInt(QStringLiteral("Port"), s.Port);
    s.Baudrate = RegReadInt(QStringLiteral("Baudrate"), s.Baudrate);
    s.ProgrSpeed = RegReadStr(QStringLiteral("ProgrSpeed"), s.ProgrSpeed);
    s.Verify = RegReadInt(QStringLiteral("Verify"), 1) != 0;
    s.Protect = RegReadInt(QStringLiteral("Protect"), 1) != 0;
    s.STKPath = RegReadStr(QStringLiteral("STKPath"), s.STKPath);
    const int typeDvc = RegReadInt(QStringLiteral("TypeDvc"), s.TypeDvc);
    s.TypeDvc = typeDvc == 0 ? 0 : 1;
    s.USBPort = RegReadInt(QStringLiteral("USBPort"), s.USBPort);
    return s;
}

void ProgramSettings::write() const {
    RegWriteInt(QStringLiteral("TypeProgr"), TypeProgr);
    RegWriteInt(QStringLiteral("Port"), Port);
    RegWriteInt(QStringLiteral("Baudrate"), Baudrate);
    RegWriteInt(QStringLiteral("Verify"), Verify ? 1 : 0);
    RegWriteInt(QStringLiteral("Protect"), Protect ? 1 : 0);
    RegWriteStr(QStringLiteral("STKPath"), STKPath);
    RegWriteStr(QStringLiteral("ProgrSpeed"), ProgrSpeed);
    RegWriteInt(QStringLiteral("TypeDvc"), TypeDvc);
    RegWriteInt(QStringLiteral("USBPort"), USBPort);
}

QStringList ProgramSettings::ProgrammerPortNames() {
    QStringList names;
#ifdef Q_OS_WIN
    for (int i = 1; i <= 20; ++i)
        names.append(QStringLiteral("COM%1").arg(i));
#else
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (int i = 0; i < 10; ++i)
            names.append(QLatin1String(prefix) + QString::number(i));
#endif
    return names;
}

QStringList ProgramSettings::DevicePortNames() {
    return QStringList{QStringLiteral("Авто")} + ProgrammerPortNames();
}

bool ProgramSettings::IsKnownProgrammingTool(const QString& path) {
    // Stored paths may come from Windows, so "\" separates folders on every platform.
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString name = path.mid(cut + 1).toUpper();
    return name == QLatin1String("STK500.EXE") || name == QLatin1String("ATPROGRAM.EXE");
}
