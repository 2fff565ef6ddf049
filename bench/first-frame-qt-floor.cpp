// first-frame-qt-floor: the least a Qt program needs to put its first frame on an X
// screen, the second floor bench/measure-saver holds the saver's first frame to: a
// QApplication with one frameless window over the whole screen that, 100 ms after it
// was shown, fills itself with one colour (the sky's, which the probe looks for), then
// waits to be stopped. Beside the plain Xlib floor it shows what the toolkit alone
// costs: loading its libraries, making the application, showing a window.
//
//   first-frame-qt-floor R G B
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class FloorWindow : public QWidget {
public:
    explicit FloorWindow(QColor colour) : m_colour(colour)
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void showEvent(QShowEvent*) override
    {
        // The first tick, 100 ms after the window was shown.
        QTimer::singleShot(100, Qt::PreciseTimer, this, [this] {
            m_ticked = true;
            repaint();
        });
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), m_ticked ? m_colour : QColor(Qt::black));
    }

private:
    QColor m_colour;
    bool m_ticked = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: first-frame-qt-floor R G B\n");
        return 2;
    }
    const QColor colour(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]));
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    FloorWindow window(colour);
    window.setGeometry(window.screen()->geometry());
    window.show();
    return application.exec();
}
