// The controls' description: properties as set, handed to their windows once these
// exist; the kinds of bitmap button; the radio group's index.
#include "platform/window/TControl.h"

#include "platform/window/TApplication.h"
#include "platform/window/TBitBtn.h"
#include "platform/window/TForm.h"
#include "platform/window/TLabel.h"
#include "platform/window/TRadioGroup.h"

TControl::TControl(TForm& owner, std::string name) : m_owner(owner), m_name(std::move(name))
{
    m_owner.AddControl(this);
}

TControl::~TControl()
{
    m_owner.RemoveControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Changed();
}

void TControl::SetVisible(bool visible)
{
    m_visible = visible;
    Changed();
}

void TControl::SetTabOrder(int order)
{
    m_tabOrder = order;
    Changed();
}

void TControl::SetFont(const TFont& font)
{
    m_font = font;
    m_parentFont = false;
    Changed();
}

const TFont& TControl::Font() const
{
    return m_parentFont ? m_owner.Font() : m_font;
}

void TLabel::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    Changed();
}

void TLabel::SetColor(TColor colour)
{
    m_color = colour;
    Changed();
}

void TBitBtn::SetKind(TBitBtnKind kind)
{
    m_kind = kind;
    m_default = kind == TBitBtnKind::OK;
    m_cancel = kind == TBitBtnKind::Cancel;
    switch (kind) {
    case TBitBtnKind::OK:
        m_caption = "OK";
        break;
    case TBitBtnKind::Cancel:
        m_caption = "Cancel";
        break;
    case TBitBtnKind::Ignore:
        m_caption = "&Ignore";
        break;
    case TBitBtnKind::Custom:
        break;
    }
    Changed();
}

void TBitBtn::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    Changed();
}

void TBitBtn::SetGlyph(std::span<const std::uint8_t> bmpFile)
{
    m_glyph.assign(bmpFile.begin(), bmpFile.end());
    Changed();
}

void TBitBtn::Click()
{
    // Nothing may leave a click: what escapes the handler goes to the error report.
    if (OnClick)
        RunHandler([this] { OnClick(this); });
}

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
