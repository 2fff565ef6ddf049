// A control's description: bounds, visibility, tab order and font as set, handed to
// its window once that exists.
#include "platform/window/TControl.h"

#include "platform/window/TForm.h"

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
