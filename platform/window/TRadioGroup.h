// A captioned group of radio buttons with one selected index, -1 while none is chosen.
#pragma once

#include "platform/window/TControl.h"

#include <utility>

#include <string>
#include <vector>

class TRadioGroup : public TControl {
public:
    TRadioGroup(TForm& owner, std::string name) : TControl(owner, std::move(name)) {}

    void SetCaption(std::string caption);
    const std::string& Caption() const { return m_caption; }
    void SetItems(std::vector<std::string> items);
    const std::vector<std::string>& Items() const { return m_items; }
    // The chosen item, or -1; any index outside the items chooses none.
    int ItemIndex() const;
    void SetItemIndex(int index);

private:
    std::string m_caption;
    std::vector<std::string> m_items;
    int m_itemIndex = -1;
};
