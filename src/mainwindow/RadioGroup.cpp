#include "mainwindow/RadioGroup.h"

#include <QRadioButton>

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent) {}

QList<QRadioButton*> RadioGroup::items() const {
    return findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

int RadioGroup::ItemIndex() const {
    const QList<QRadioButton*> buttons = items();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons.at(i)->isChecked())
            return i;
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    const QList<QRadioButton*> buttons = items();
    if (index >= 0 && index < buttons.size()) {
        buttons.at(index)->setChecked(true);
        return;
    }
    // Buttons of one parent never let the checked one go, so they are made independent for the moment.
    for (QRadioButton* button : buttons) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}
