// A captioned group of radio buttons with one selected index (-1 while none is checked).
#pragma once

#include <QGroupBox>

class QRadioButton;

class RadioGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroupBox(QWidget* parent = nullptr);

    // The items are the group's own radio buttons, in the order they were made.
    int Count() const;
    QRadioButton* Item(int index) const;
    // The index of the checked item, or -1 when no item is checked.
    int ItemIndex() const;
    // -1 (or any index outside the items) unchecks every item.
    void SetItemIndex(int index);
};
