// The radio group: its items and the selected index.
#include "platform/window/qt/RadioGroupBox.h"

#include <QList>
#include <QRadioButton>

namespace {

QList<QRadioButton*> Items(const RadioGroupBox& group)
{
    return group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

} // namespace

RadioGroupBox::RadioGroupBox(QWidget* parent) : QGroupBox(parent) {}

int RadioGroupBox::Count() const
{
    return static_cast<int>(Items(*this).size());
}

QRadioButton* RadioGroupBox::Item(int index) const
{
    const QList<QRadioButton*> items = Items(*this);
    if (index < 0 || index >= items.size())
        return nullptr;
    return items.at(index);
}

int RadioGroupBox::ItemIndex() const
{
    const QList<QRadioButton*> items = Items(*this);
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i)->isChecked())
            return i;
    }
    return -1;
}

void RadioGroupBox::SetItemIndex(int index)
{
    const QList<QRadioButton*> items = Items(*this);
    for (int i = 0; i < items.size(); ++i) {
        // Auto-exclusive buttons refuse to be unchecked one by one; lift it meanwhile.
        QRadioButton* item = items.at(i);
        const bool exclusive = item->autoExclusive();
        item->setAutoExclusive(false);
        item->setChecked(i == index);
        item->setAutoExclusive(exclusive);
    }
}
