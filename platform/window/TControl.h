// The controls a form description places on a form: their common properties.
#pragma once

#include "platform/window/Messages.h"
#include "platform/window/TColor.h"
#include "platform/window/TFont.h"

#include <string>

class TForm;

class TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TForm& Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }

    // Position and size in the form's client area, at the form's design density.
    void SetBounds(int left, int top, int width, int height);
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetVisible(bool visible);
    bool Visible() const { return m_visible; }
    // Tab and Shift+Tab move the focus through the visible controls that take it,
    // in this order.
    void SetTabOrder(int order);
    int TabOrder() const { return m_tabOrder; }
    // Without a font of its own a control uses the form's.
    void SetFont(const TFont& font);
    const TFont& Font() const;
    bool ParentFont() const { return m_parentFont; }

    // What the hook's messages name this control by; null before its window exists.
    TWindowHandle Handle() const;

protected:
    TControl(TForm& owner, std::string name);
    // Tells the window layer that a property changed on a control already made.
    void Changed();

private:
    TForm& m_owner;
    std::string m_name;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_visible = true;
    int m_tabOrder = 0;
    bool m_parentFont = true;
    TFont m_font;
};
