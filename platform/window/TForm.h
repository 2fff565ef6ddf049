// A top-level form: its description's properties (caption, border, colours, font,
// placement, the design density), show, activate and hide events, close by the
// main-window rule, the maximized state, and the window-level colour key. The window
// system's window is made when first needed, not with the form.
#pragma once

#include "platform/window/FormScale.h"
#include "platform/window/Messages.h"
#include "platform/window/Screen.h"
#include "platform/window/TColor.h"
#include "platform/window/TFont.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TControl;
class TFrameSurface;

enum class TWindowState { Normal, Maximized };
// Sizeable: an ordinary window; Dialog: a fixed dialog frame whose title bar holds the
// system menu and its close box only; None: a pop-up without caption or frame.
enum class TBorderStyle { Sizeable, Dialog, None };
// DesignPlace: where the bounds put it; ScreenCenter: centred on the primary monitor
// the first time it is shown.
enum class TFormPosition { DesignPlace, ScreenCenter };

class TForm {
public:
    TForm();
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Event handlers, as the form description binds them. OnShow runs before the
    // window is put on the screen, OnHide before it vanishes, OnActivate each time
    // the window becomes the active window. An error escaping a handler goes to the
    // application's error report.
    std::function<void()> OnShow;
    std::function<void()> OnActivate;
    std::function<void()> OnHide;

    // The description's properties. Bounds and sizes are the window system's pixels
    // (device-independent on a scaled screen), at the design density for a form
    // that keeps one (SetDesignDensity).
    void SetName(std::string name);
    const std::string& Name() const { return m_name; }
    void SetCaption(std::string caption);
    const std::string& Caption() const { return m_caption; }
    void SetBorderStyle(TBorderStyle style);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetStayOnTop(bool on);
    bool StayOnTop() const { return m_stayOnTop; }
    void SetColor(TColor colour);
    TColor Color() const { return m_color; }
    void SetFont(const TFont& font);
    const TFont& Font() const { return m_font; }
    void SetPosition(TFormPosition position) { m_position = position; }
    TFormPosition Position() const { return m_position; }
    // The client area in screen coordinates (Rect::Sized: its top-left corner and its
    // size).
    void SetClientBounds(const Rect& bounds);
    Rect ClientBounds() const;
    // The density and the text height of the dialog font that the sizes were made
    // for. When the form is made on a screen of another density, its fonts are first
    // scaled by the ratio of the densities, then every position and size, the client
    // area's included, by the ratio of the font's resulting text height to this one.
    void SetDesignDensity(int pixelsPerInch, int textHeight);
    // The density the form was built for and the scale that came of it (1/1 at the
    // design density); known once the window exists.
    int BuiltForDensity() const;
    int ScaleNumerator() const;
    int ScaleDenominator() const;

    // Pixels of exactly this colour are see-through, where the window system can show
    // what lies beneath the window; elsewhere the window shows without the key.
    void SetTransparentColor(bool on, TColor key);
    bool TransparencyActive() const;

    void Show();
    void Hide();
    // The main form asks the application to terminate; any other form is hidden.
    void Close();
    bool Visible() const;
    bool Active() const;
    // Makes the (shown) form the active window.
    void Activate();

    // Maximized covers the whole monitor the window lies on, panels included; the
    // state survives hiding.
    void SetWindowState(TWindowState state);
    TWindowState WindowState() const { return m_windowState; }

    // The client area in device pixels, the screen's own: on a high-density screen
    // more than the window system's pixels the bounds count.
    int ClientWidth() const;
    int ClientHeight() const;
    // The monitor the window lies on.
    TMonitor Monitor() const;

    // What the hook's messages name this window by.
    TWindowHandle Handle() const;

    // The controls of the description, in the order they were made.
    const std::vector<TControl*>& Controls() const { return m_controls; }

    // The window layer's own part, behind the interface (WindowPlatform.h).
    struct Impl;

private:
    friend class TControl;
    friend class WindowPlatform;
    // Makes the window from the description, if not made yet.
    void MakeWindow() const;
    void AddControl(TControl* control);
    void RemoveControl(TControl* control);
    // Gives a window already made the properties as they now stand.
    void ApplyProperties();

    std::string m_name;
    std::string m_caption;
    TBorderStyle m_borderStyle = TBorderStyle::Sizeable;
    bool m_stayOnTop = false;
    TColor m_color = Rgb(240, 240, 240);
    TFont m_font;
    TFormPosition m_position = TFormPosition::DesignPlace;
    TWindowState m_windowState = TWindowState::Normal;
    std::vector<TControl*> m_controls;
    FormScale m_scale;
    TFrameSurface* m_surface = nullptr;
    std::unique_ptr<Impl> m_impl;
};
