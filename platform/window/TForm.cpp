// The form's description: the properties as set, handed to the window once it exists.
#include "platform/window/TForm.h"

#include "platform/window/TControl.h"

#include <algorithm>

void TForm::SetName(std::string name)
{
    m_name = std::move(name);
    ApplyProperties();
}

void TForm::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    ApplyProperties();
}

void TForm::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    ApplyProperties();
}

void TForm::SetStayOnTop(bool on)
{
    m_stayOnTop = on;
    ApplyProperties();
}

void TForm::SetColor(TColor colour)
{
    m_color = colour;
    ApplyProperties();
}

void TForm::SetFont(const TFont& font)
{
    m_font = font;
    ApplyProperties();
}

void TForm::AddControl(TControl* control)
{
    m_controls.push_back(control);
}

void TForm::RemoveControl(TControl* control)
{
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
}
