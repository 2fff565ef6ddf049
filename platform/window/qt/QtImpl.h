// The Qt side of the window layer: what stands behind each object of the interface.
// Only the layer's Qt sources, the program's Qt main and the Qt tests include it.
#pragma once

#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"
#include "platform/window/TTimer.h"
#include "platform/window/WindowPlatform.h"
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
    // A control's bounds by the density rule.
    QRect ControlBounds(const TControl& control) const;
    QSize DeviceSize() const;
    QScreen* ScreenOf() const;

    TForm& form;
    std::unique_ptr<FormWidget> widget;
    std::map<const TControl*, QWidget*> controls;
    QRect designBounds{0, 0, 640, 480};
    bool boundsSet = false;
    bool keyWanted = false;
    bool keyActive = false;     // the key is shown
    bool keyInAlpha = false;    // by an alpha channel; on X11 by the window's shape instead
    Pixel key = 0;
    bool hiding = false;      // Hide has run OnHide already
    bool shownBefore = false;
    QRect normalGeometry;
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

struct TTimer::Impl : QObject {
    explicit Impl(TTimer& owner) : timer(owner) {}
    void timerEvent(QTimerEvent* event) override;

    TTimer& timer;
    int id = 0;
};

// A rectangle by the density rule: every coordinate by the form's scale.
QRect ScaledRect(const QRect& rect, const FormScale& scale);
// A form's frame surface, from the form's side (QtFrameSurface.cpp): paints the area
// of a paint event of its window; forgets its frames when the window hides or the
// colour key changes; at a show, before the window is mapped, leaves the painting of
// a window its frames will go straight to to the X server.
void PaintFrameSurface(TFrameSurface& surface, FormWidget& widget, QPaintEvent* event);
void ForgetFrames(TFrameSurface& surface);
void FramesShowing(TFrameSurface& surface, FormWidget& widget);

// Colours and fonts of the interface as Qt's.
QColor ToQColor(TColor colour);
QFont ToQFont(const TFont& font, int pixels);

// The Qt objects behind the interface, for the program's tests.
QWidget* QtWidget(const TForm& form);
QWidget* QtWidget(const TControl& control);
QObject* QtObject(const TTimer& timer);
QImage FrameImage(const TFrameSurface& surface);
