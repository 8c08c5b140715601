#pragma once

#include <QIcon>

// The ten 16 x 16 images of the main window's commands, drawn at run time:
// 0 open padlock (not fixed), 1 closed padlock (fixed), 2 save, 3 save as, 4 open, 5 write to the device,
// 6 read from the device, 7 settings, 8 journal, 9 MAC address.
class ToolImages {
public:
    static constexpr int Count = 10;
    static QIcon image(int index);
};
