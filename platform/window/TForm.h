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

    int ClientWidth() const;
    int ClientHeight() const;

    // Copy to window: the whole raster on the client area at (0, 0), opaque, in one
    // operation; the colour key then applies to the copied pixels.
    void CopyFrame(const Raster& frame);
    // What the window shows now, for tests.
    const QImage& FrameImage() const { return m_frame; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
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
    QImage m_frame;
};
