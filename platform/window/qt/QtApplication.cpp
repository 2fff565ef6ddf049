// The application over Qt: the connection to the display, Qt's loop, each input and
// tick of the program's own loop offered to the message hook.
#include "platform/window/qt/QtImpl.h"

#include <QApplication>
#include <QIcon>
#include <QTimerEvent>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// The program's icon travels inside the program as a Qt resource of this library; a
// static library must register it by name, outside any namespace.
static void InitIconResource()
{
    Q_INIT_RESOURCE(WindowResources);
}

namespace {

// The program's name as the one-line start-up message says it.
std::string g_programName = "Project1";

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void NoDisplay(const std::string& reason)
{
    std::fprintf(stderr, "%s: cannot open a window: no display to connect to (%s)\n", g_programName.c_str(),
                 reason.c_str());
    std::fflush(stderr);
    _exit(1);
}

// While the platform connects to the display, a failure is fatal inside Qt; say it in
// one line and end with status 1 instead of aborting.
void StartUpMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        NoDisplay(message.section(QLatin1Char('\n'), 0, 0).toStdString());
}

// Qt keeps the argument list it is given for its whole life.
int g_qtArgc = 1;
char g_qtProgram[256] = "Project1";
char* g_qtArgv[] = {g_qtProgram, nullptr};

} // namespace

TApplication::TApplication(const std::string& programPath) : m_impl(std::make_unique<Impl>(*this))
{
    if (!programPath.empty())
        g_programName = BaseName(programPath);
    if (!qApp) {
        if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
            std::getenv("QT_QPA_PLATFORM") == nullptr)
            NoDisplay("DISPLAY is not set");
        // Qt is given the program's path alone: it would take the options it knows
        // (-reverse, -style, -platform) out of the list, and the mode is decided by the
        // program's own first argument, whatever it is.
        if (!programPath.empty())
            std::snprintf(g_qtProgram, sizeof g_qtProgram, "%s", programPath.c_str());
        qInstallMessageHandler(StartUpMessageHandler);
        m_impl->ownQtApplication = std::make_unique<QApplication>(g_qtArgc, g_qtArgv);
        qInstallMessageHandler(nullptr);
        // The program's icon MAINICON, for the dialog's title bar and the task list.
        InitIconResource();
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON.ico")));
    }
    Application = this;
    m_title = QCoreApplication::applicationName().toStdString();
    // The main-window rule decides when the loop ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(m_impl.get());
}

TApplication::~TApplication()
{
    if (qApp)
        qApp->removeEventFilter(m_impl.get());
    if (Application == this)
        Application = nullptr;
    // Qt's Wayland platform (6.4) can hang for ever in its own teardown: when its
    // event thread stops just after a read was prepared for it, the read is never
    // taken, and the frame-queue thread it then stops waits on it. The windows are
    // gone by now and nothing of the program is left to release, so on Wayland the
    // connection ends with the process instead.
    if (m_impl->ownQtApplication && QGuiApplication::platformName() == QLatin1String("wayland"))
        static_cast<void>(m_impl->ownQtApplication.release());
}

void TApplication::ShowMainForm()
{
    m_mainForm->Show();
}

void TApplication::RunLoop()
{
    // A loop of its own rather than QApplication::exec: the quit request then ends
    // this loop alone, where Qt's exit would end a message box's loop as well.
    QEventLoop loop;
    m_impl->loop = &loop;
    // A quit request taken before the loop ran (by a loop of someone else's) still
    // counts.
    if (!m_impl->quitTaken)
        loop.exec();
    m_impl->loop = nullptr;
}

void TApplication::Terminate()
{
    m_terminated = true;
    // Posted, not immediate: the loop ends when it takes the request, so the window
    // that asked stays shown and the current handler runs to its end. Taken inside a
    // message box's loop, it marks the application's loop to end once the box has
    // been acknowledged and that loop runs again.
    Impl* impl = m_impl.get();
    QMetaObject::invokeMethod(
        impl,
        [impl] {
            impl->quitTaken = true;
            if (impl->loop)
                impl->loop->exit(0);
        },
        Qt::QueuedConnection);
}

void TApplication::QueueCall(std::function<void()> call)
{
    QMetaObject::invokeMethod(m_impl.get(), [call = std::move(call)] { RunHandler(call); }, Qt::QueuedConnection);
}

bool TApplication::Impl::eventFilter(QObject* watched, QEvent* event)
{
    TMsg msg;
    // The translator runs even while the slot is empty, so that a hook installed in
    // the middle of one input's deliveries does not see the rest of them.
    if (translator.Translate(watched, event, msg)) {
        // The translator has named the window or control the input is for.
    } else if (event->type() == QEvent::Timer) {
        auto* timer = dynamic_cast<TTimer::Impl*>(watched);
        if (!timer || !timer->timer.Running())
            return false;
        msg.hwnd = timer;
        msg.message = WM_TIMER;
        msg.wParam = 1;
    } else {
        return false;
    }
    return app.OfferMessage(msg);
}
