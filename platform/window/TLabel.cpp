// A label's caption and colour, handed to its window once that exists.
#include "platform/window/TLabel.h"

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
