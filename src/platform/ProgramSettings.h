#pragma once

#include <QString>
#include <QStringList>

// The programmer and device settings the setup panel edits, with their stored names and defaults.
// Indexes are item indexes of the panel's lists; an index outside its list is kept as stored, and the list
// then shows no selection.
struct ProgramSettings {
    int TypeProgr = 0; // 0 "AVR Loader", 1 "AVR ISP MkII"
    int Port = 0;      // into ProgrammerPortNames()
    int Baudrate = 1;  // 0 "19200", 1 "115200"
    QString ProgrSpeed = QStringLiteral("2mhz");
    bool Verify = true;
    bool Protect = true;
    QString STKPath = QStringLiteral("C:\\Program Files (x86)\\Atmel\\AVR Tools\\STK500\\STK500.exe");
    int TypeDvc = 1; // 0 "Kavor", 1 "Kavor-II"
    int USBPort = 0; // into DevicePortNames(), 0 "Авто"

    // Reads every value in the order of the fields. A stored generation outside 0..1 is taken as
    // "Kavor-II", so the store and the configuration never see another device type.
    static ProgramSettings read();
    // Writes every value, in the order the setup panel has always written them.
    void write() const;

    // Ports of the serial programmer: "COM1" … "COM20" on Windows; elsewhere the USB-serial and USB CDC
    // device names ttyUSB0 … ttyUSB9, ttyACM0 … ttyACM9, without the /dev/ folder.
    static QStringList ProgrammerPortNames();
    // "Авто" (search every port), then the programmer's port names.
    static QStringList DevicePortNames();
    // True when the file name part of `path` (either separator) is STK500.EXE or ATPROGRAM.EXE in any case.
    static bool IsKnownProgrammingTool(const QString& path);
};
