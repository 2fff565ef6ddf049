// A top-level form: show, activate and hide events, close by the main-window rule,
// borderless, stay-on-top, maximized state, and the window-level colour key.
#pragma once

#include "platform/raster/Raster.h"

#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

enum class TWindowState { Normal, Maximized };

class QScreen;

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Event handlers, as the form description binds them. OnShow runs before the
    // window is put on the screen, OnHide before it vanishes, OnActivate each time
    // the window becomes the active window. An error escaping a handler goes to the
    // application's error report.
    std::function<void()> OnShow;
    std::function<void()> OnActivate;
    std::function<void()> OnHide;

    void Show();
    void Hide();
    // The main form asks the application to terminate; any other form is hidden.
    void Close();

    // Maximized covers the whole monitor the window lies on, panels included; the
    // state survives hiding.
    void SetWindowState(TWindowState state);
    TWindowState WindowState() const { return m_windowState; }

    void SetBorderless(bool on);
    void SetStayOnTop(bool on);
    // Pixels of exactly this colour are see-through, where the platform can show
    // what lies beneath the window; elsewhere the window shows without the key.
    void SetTransparentColor(bool on, Pixel key);
    bool TransparencyActive() const { return m_keyActive; }

    // The client area in device pixels, the screen's own: on a high-density screen
    // more than the device-independent width() and height() that Qt places by.
    int ClientWidth() const;
    int ClientHeight() const;

    // Copy to window: the whole raster on the client area at (0, 0), opaque, in one
    // operation, one raster pixel to one device pixel; the colour key then applies to
    // the copied pixels. A hidden window keeps none of it for its next show.
    void CopyFrame(const Raster& frame);
    // What the window's surface holds now, the client area in device pixels, null
    // before the window has a surface; with the colour key, the keyed frame it was
    // given. For tests.
    QImage FrameImage() const;
    // How many copied frames have reached the window's surface.
    int FramesShown() const { return m_framesShown; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSize DeviceSize() const;
    // The window's surface as an image that frames may be written into straight;
    // null when it is none (another pixel layout, or no surface yet).
    QImage* Surface() const;
    void PaintThroughPainter(const QImage& frame, const QRect& area);
    QScreen* ScreenOf() const;
    void BringToFront();
    // Before a show: onto the monitor of the application's active window, keeping the
    // offset from the monitor's corner, pulled back inside at the right and bottom.
    void PlaceOnActiveMonitor();
    void ApplyMaximized();
    void ActivateAnotherForm();
    void SetWindowFlagKeepingVisibility(Qt::WindowType flag, bool on);

    bool m_hiding = false;      // Hide has run OnHide already
    QRect m_normalGeometry;
    TWindowState m_windowState = TWindowState::Normal;
    bool m_keyWanted = false;
    bool m_keyActive = false;
    Pixel m_key = 0;
    // The frame being copied, while CopyFrame paints it straight onto the surface.
    const Raster* m_copying = nullptr;
    bool m_copied = false;
    // A frame the surface could not take at once (the window not yet on the screen),
    // or, with the colour key, the keyed frame, which a repaint must draw again: the
    // surface of a see-through window is cleared before each paint.
    QImage m_frame;
    bool m_frameFresh = false;  // m_frame holds a frame not yet painted
    QSize m_shownSize;          // the window's device size when it last took a frame
    QRect m_shownFrame;         // the device pixels that frame covered
    int m_framesShown = 0;
};
