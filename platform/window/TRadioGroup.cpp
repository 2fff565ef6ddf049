// A radio group: its caption, items and the index of the checked one (-1: none).
#include "platform/window/TRadioGroup.h"

void TRadioGroup::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    Changed();
}

void TRadioGroup::SetItems(std::vector<std::string> items)
{
    m_items = std::move(items);
    if (m_itemIndex >= static_cast<int>(m_items.size()))
        m_itemIndex = -1;
    Changed();
}

int TRadioGroup::ItemIndex() const
{
    return m_itemIndex;
}

void TRadioGroup::SetItemIndex(int index)
{
    m_itemIndex = index >= 0 && index < static_cast<int>(m_items.size()) ? index : -1;
    Changed();
}
