// A label: plain text on a background of its own colour, sized to its text, never
// clickable and never focused.
#pragma once

#include "platform/window/TControl.h"

#include <utility>

class TLabel : public TControl {
public:
    TLabel(TForm& owner, std::string name) : TControl(owner, std::move(name)) {}

    void SetCaption(std::string caption);
    const std::string& Caption() const { return m_caption; }
    // The background behind the text.
    void SetColor(TColor colour);
    TColor Color() const { return m_color; }

private:
    std::string m_caption;
    TColor m_color = Rgb(240, 240, 240);
};
