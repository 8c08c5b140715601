#pragma once

#include <QGroupBox>
#include <QList>

class QRadioButton;

// A captioned group of radio buttons, its direct children in the order they were made, chosen by item
// index; -1 when none is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    int ItemIndex() const;
    // An index outside the items leaves none chosen.
    void SetItemIndex(int index);

private:
    QList<QRadioButton*> items() const;
};
