// The Qt side of the window layer: what stands behind each object of the interface.
// Only the layer's Qt sources, the program's Qt main and the Qt tests include it.
#pragma once

#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"
#include "platform/window/TTimer.h"
#include "platform/window/qt/InputTranslator.h"

#include <QApplication>
#include <QColor>
#include <QEventLoop>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <map>
#include <memory>

class QPaintEvent;
class QScreen;
class TControl;
class FormWidget;

struct TApplication::Impl : QObject {
    explicit Impl(TApplication& application) : app(application) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

    TApplication& app;
    // The Qt application, when this object made it (the program's own start).
    std::unique_ptr<QApplication> ownQtApplication;
    InputTranslator translator;
    // The application's own loop while Run runs it.
    QPointer<QEventLoop> loop;
    bool quitTaken = false;
};

struct TForm::Impl {
    explicit Impl(TForm& owner) : form(owner) {}
    ~Impl();

    // The form's window, made from the description at first need.
    FormWidget& Widget();
    bool Made() const { return widget != nullptr; }
    // The window of a control, made with the form's.
    QWidget* ControlWidget(const TControl& control);
    void ApplyFormProperties();
    void ApplyControl(TControl& control);
    // A font's pixel size by the density rule; as designed without a design density.
    int FontPixels(const TFont& font) const;
    // A control's bounds by the density rule.
    QRect ControlBounds(const TControl& control) const;
    QSize DeviceSize() const;
    QScreen* ScreenOf() const;

    TForm& form;
    std::unique_ptr<FormWidget> widget;
    std::map<const TControl*, QWidget*> controls;
    // The design density and text height; 0 when the form keeps none.
    int designDensity = 0;
    int designTextHeight = 0;
    int builtForDensity = 96;
    int scaleNumerator = 1;
    int scaleDenominator = 1;
    QRect designBounds{0, 0, 640, 480};
    bool boundsSet = false;
    bool keyWanted = false;
    bool keyActive = false;
    Pixel key = 0;
    bool hiding = false;      // Hide has run OnHide already
    bool shownBefore = false;
    QRect normalGeometry;
    TFrameSurface::Impl* surface = nullptr;
};

// The Qt widget of a form: its events turned into the form's.
class FormWidget : public QWidget {
public:
    explicit FormWidget(TForm& form);

    TForm& Form() const { return m_form; }
    void BringToFront();
    // Before a show: onto the monitor of the application's active window, keeping the
    // offset from the monitor's corner, pulled back inside at the right and bottom.
    void PlaceOnActiveMonitor();
    void ApplyMaximized();
    void ActivateAnotherForm();
    void SetWindowFlagKeepingVisibility(Qt::WindowType flag, bool on);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TForm& m_form;
};

struct TFrameSurface::Impl {
    explicit Impl(TForm& owner) : form(owner) {}

    // Paints the area of the event from the frame being copied or the one kept.
    void Paint(FormWidget& widget, QPaintEvent* event);
    // Puts the frame's rectangles on the window straight from shared memory, where the
    // window system reads it in place (X11); false where it cannot.
    bool PutStraight(FormWidget& widget, const Raster& frame, bool whole, std::span<const Rect> changed);
    // The window was hidden: nothing of its frames is kept for the next show.
    void Forget();
    // What the window's surface holds now, the client area in device pixels; with the
    // colour key, the keyed frame it was given. For tests.
    QImage FrameImage() const;

    TForm& form;
    // The frame being copied, while CopyFrame paints it straight onto the surface.
    const Raster* copying = nullptr;
    bool copied = false;
    // A frame the surface could not take at once (the window not yet on the screen),
    // or, with the colour key, the keyed frame, which a repaint must draw again: the
    // surface of a see-through window is cleared before each paint.
    QImage frame;
    bool frameFresh = false;   // frame holds a frame not yet painted
    QSize shownSize;           // the window's device size when it last took a frame
    QRect shownFrame;          // the device pixels that frame covered
    int framesShown = 0;
    // The surface (with the key, frame) holds the last frame copied, whole, of this
    // size: the next copy may send only what changed.
    bool current = false;
    QSize currentFrameSize;
    // The last frame went straight onto the window: its shared block holds it, and
    // the window's Qt surface does not.
    struct Straight {
        const Pixel* pixels = nullptr;
        int width = 0;
        int height = 0;
        int pitch = 0;
    } straight;
};

struct TTimer::Impl : QObject {
    explicit Impl(TTimer& owner) : timer(owner) {}
    void timerEvent(QTimerEvent* event) override;

    TTimer& timer;
    int id = 0;
};

// A rectangle by the density rule: every coordinate times numerator / denominator,
// rounded half away from zero.
QRect ScaledRect(const QRect& rect, int numerator, int denominator);

// Colours and fonts of the interface as Qt's.
QColor ToQColor(TColor colour);
QFont ToQFont(const TFont& font, int pixels);

// The Qt objects behind the interface, for the program's tests.
QWidget* QtWidget(const TForm& form);
QWidget* QtWidget(const TControl& control);
QObject* QtObject(const TTimer& timer);
QImage FrameImage(const TFrameSurface& surface);
