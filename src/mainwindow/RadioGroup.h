#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio buttons chosen by item index; -1 when none is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const;
    // An index outside the items leaves none chosen.
    void SetItemIndex(int index);
    QRadioButton* item(int index) const { return m_items.at(index); }

private:
    QButtonGroup* m_group;
    QList<QRadioButton*> m_items;
};
