#include "mainwindow/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (const QString& text : items) {
        auto* button = new QRadioButton(text, this);
        m_group->addButton(button, int(m_items.size()));
        m_items.append(button);
        layout->addWidget(button);
    }
    layout->addStretch();
}

int RadioGroup::ItemIndex() const {
    return m_group->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < m_items.size()) {
        m_items.at(index)->setChecked(true);
        return;
    }
    // An exclusive group never lets its checked button go, so it is opened for the moment.
    m_group->setExclusive(false);
    for (QRadioButton* button : m_items)
        button->setChecked(false);
    m_group->setExclusive(true);
}
