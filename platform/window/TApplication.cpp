// The application object: keeps the list of forms and the main form, runs Qt's loop,
// offers each input to the message hook and reports the errors of event handlers.
#include "platform/window/TApplication.h"

#include "platform/window/MessageBox.h"
#include "platform/window/TForm.h"
#include "platform/window/TTimer.h"

#include <QApplication>
#include <QTimerEvent>
#include <algorithm>
#include <stdexcept>

TApplication* Application = nullptr;

TApplication::TApplication()
{
    Application = this;
    m_title = QCoreApplication::applicationName();
    // The main-window rule decides when the loop ends, not the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
}

TApplication::~TApplication()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetOnMessage(MessageEvent hook)
{
    m_onMessage = std::move(hook);
}

bool TApplication::HasOnMessage() const
{
    return static_cast<bool>(m_onMessage);
}

void TApplication::RegisterForm(TForm* form)
{
    if (std::find(m_forms.begin(), m_forms.end(), form) != m_forms.end())
        return;
    m_forms.push_back(form);
    if (!m_mainForm)
        m_mainForm = form;
}

void TApplication::UnregisterForm(TForm* form)
{
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
    if (m_mainForm == form)
        m_mainForm = nullptr;
}

int TApplication::Run()
{
    if (m_mainForm)
        m_mainForm->Show();
    // A loop of its own rather than QApplication::exec: the quit request then ends
    // this loop alone, where Qt's exit would end a message box's loop as well.
    QEventLoop loop;
    m_loop = &loop;
    // A quit request taken before the loop ran (by a loop of someone else's) still
    // counts.
    if (!m_quitTaken)
        loop.exec();
    m_loop = nullptr;
    return 0;
}

void TApplication::Terminate()
{
    m_terminated = true;
    // Posted, not immediate: the loop ends when it takes the request, so the window
    // that asked stays shown and the current handler runs to its end. Taken inside
    // a message box's loop, it marks the application's loop to end once the box has
    // been acknowledged and that loop runs again.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_quitTaken = true;
            if (m_loop)
                m_loop->exit(0);
        },
        Qt::QueuedConnection);
}

QString ErrorReportText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

void TApplication::HandleException(const std::exception& error)
{
    TMessageBoxRequest request;
    request.title = m_title;
    request.text = ErrorReportText(QString::fromUtf8(error.what()));
    request.icon = TMessageBoxIcon::Error;
    ShowMessageBox(request);
}

void ReportHandlerError(const std::exception* error)
{
    const std::runtime_error unknown("Unknown error");
    const std::exception& report = error ? *error : unknown;
    if (Application) {
        Application->HandleException(report);
        return;
    }
    TMessageBoxRequest request;
    request.title = QCoreApplication::applicationName();
    request.text = ErrorReportText(QString::fromUtf8(report.what()));
    request.icon = TMessageBoxIcon::Error;
    ShowMessageBox(request);
}

bool TApplication::eventFilter(QObject* watched, QEvent* event)
{
    TMsg msg;
    // The translator runs even while the slot is empty, so that a hook installed in
    // the middle of one input's deliveries does not see the rest of them.
    if (m_translator.Translate(watched, event, msg)) {
        if (!m_onMessage || InModalLoop())
            return false;
    } else if (event->type() == QEvent::Timer && m_onMessage && !InModalLoop()) {
        auto* timer = qobject_cast<TTimer*>(watched);
        if (!timer || !timer->Running())
            return false;
        msg.hwnd = timer;
        msg.message = WM_TIMER;
        msg.wParam = 1;
    } else {
        return false;
    }
    bool handled = false;
    // A copy, so that the hook may replace or empty the slot while it runs.
    const MessageEvent hook = m_onMessage;
    RunHandler([&] { hook(msg, handled); });
    return handled;
}
