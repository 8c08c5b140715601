#pragma once

#include <QString>

// Access levels of a store line.
enum TAccessLevel : int {
    alEditable = 0, // "Изменение разрешено"
    alNoChange = 1, // "Запрещено изменение"
    alNoRead = 2,   // "Запрещено чтение и изменение": a device read keeps the value
};

// One line of the configuration store: a parameter code, its value and its access level.
struct TConfigLine {
    QString code;
    QString value;
    int level = alEditable;
};
