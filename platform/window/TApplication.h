// The application object: the main-window rule, the message loop, the application
// message hook and the application's error report.
#pragma once

#include "platform/window/InputTranslator.h"
#include "platform/window/Messages.h"

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QString>
#include <exception>
#include <functional>
#include <vector>

class TForm;

class TApplication : public QObject {
    Q_OBJECT
public:
    // The hook: called for each input message the loop takes from the queue, before
    // it is dispatched, with a handled flag preset to false. Setting it true stops
    // the dispatch of that message.
    using MessageEvent = std::function<void(TMsg& msg, bool& handled)>;

    // Needs a QApplication already made. Sets the global Application.
    TApplication();
    ~TApplication() override;

    // One slot: setting replaces whatever is there, an empty function empties it.
    void SetOnMessage(MessageEvent hook);
    bool HasOnMessage() const;

    // Every TForm registers itself when made; the first becomes the main form.
    void RegisterForm(TForm* form);
    void UnregisterForm(TForm* form);
    TForm* MainForm() const { return m_mainForm; }
    // The registered forms, in the order they were made.
    const std::vector<TForm*>& Forms() const { return m_forms; }

    // Shows the main form, then runs the loop until Terminate's quit request is taken.
    // Returns 0.
    int Run();
    // Posts the quit request; the application's own loop ends when it takes it. A
    // message box up at that moment stays until it is acknowledged: its loop does
    // not end with the application's.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    // A modal loop of the program's own (a message box) runs between these two
    // calls. What that loop takes from the queue is not the application loop's: it
    // never reaches the message hook.
    void EnterModalLoop() { ++m_modalDepth; }
    void LeaveModalLoop() { --m_modalDepth; }
    bool InModalLoop() const { return m_modalDepth > 0; }

    // The application title that captions the error report (see AppTitle.h).
    QString Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

    // The error report: a box with the error icon and OK, titled with the title,
    // text = the error's message plus "." when its last character sorts after ".".
    void HandleException(const std::exception& error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    InputTranslator m_translator;
    MessageEvent m_onMessage;
    TForm* m_mainForm = nullptr;
    std::vector<TForm*> m_forms;
    QString m_title;
    bool m_terminated = false;
    int m_modalDepth = 0;
    bool m_quitTaken = false;
    // The application's own loop while Run runs it.
    QPointer<QEventLoop> m_loop;
};

extern TApplication* Application;

// Sends an error that escaped an event handler to the application's error report
// (null: an error that is no std::exception). Without an application object the
// report is titled with the program's name.
void ReportHandlerError(const std::exception* error);

// Runs an event handler; whatever error escapes it goes to the error report.
template <typename Handler>
void RunHandler(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ReportHandlerError(&error);
    } catch (...) {
        ReportHandlerError(nullptr);
    }
}

// The error report's text for a message: a full stop is added when the last
// character sorts after it.
QString ErrorReportText(const QString& message);
