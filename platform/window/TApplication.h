// The application object: the connection to the window system, the main-window rule,
// the message loop, the application message hook and the application's error report.
#pragma once

#include "platform/window/Messages.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TForm;

class TApplication {
public:
    // The hook: called for each message the application's own loop takes from the
    // queue, before it is dispatched, with a handled flag preset to false. Setting it
    // true stops the dispatch of that message.
    using MessageEvent = std::function<void(TMsg& msg, bool& handled)>;

    // Connects to the window system, unless the program's tests have done so. Where
    // there is none to connect to, says so in one line on the error stream, naming
    // the program, and ends the process with status 1. Sets the global Application.
    explicit TApplication(const std::string& programPath = std::string());
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // One slot: setting replaces whatever is there, an empty function empties it.
    void SetOnMessage(MessageEvent hook);
    bool HasOnMessage() const { return static_cast<bool>(m_onMessage); }
    // Offers a message the loop took to the hook; returns the handled flag. Nothing
    // is offered while a message box's own loop runs.
    bool OfferMessage(TMsg& msg);

    // Every TForm registers itself when made; the first becomes the main form.
    void RegisterForm(TForm* form);
    void UnregisterForm(TForm* form);
    TForm* MainForm() const { return m_mainForm; }
    // The registered forms, in the order they were made.
    const std::vector<TForm*>& Forms() const { return m_forms; }
    // The form that is the active window now, if one of the program's is.
    TForm* ActiveForm() const;

    // Shows the main form, then runs the loop until Terminate's quit request is taken.
    // Returns 0.
    int Run();
    // Posts the quit request; the application's own loop ends when it takes it. A
    // message box up at that moment stays until it is acknowledged: its loop does not
    // end with the application's.
    void Terminate();
    bool Terminated() const { return m_terminated; }
    // Runs call from the loop, once the messages already queued have been handled.
    void QueueCall(std::function<void()> call);

    // A modal loop of the program's own (a message box) runs between these two calls.
    void EnterModalLoop() { ++m_modalDepth; }
    void LeaveModalLoop() { --m_modalDepth; }
    bool InModalLoop() const { return m_modalDepth > 0; }

    // The application title that captions the error report.
    const std::string& Title() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }

    // The error report: a box with the error icon and OK, titled with the title,
    // text = the error's message plus "." when its last character sorts after ".".
    void HandleException(const std::exception& error);

    // The window layer's own part, behind the interface (WindowPlatform.h).
    struct Impl;

private:
    friend class WindowPlatform;
    MessageEvent m_onMessage;
    // The platform's part of Run: the main form shown as the launching process asked,
    // and the application's own loop until the quit request.
    void ShowMainForm();
    void RunLoop();

    TForm* m_mainForm = nullptr;
    std::vector<TForm*> m_forms;
    std::string m_title;
    bool m_terminated = false;
    int m_modalDepth = 0;
    std::unique_ptr<Impl> m_impl;
};

extern TApplication* Application;

// Sends an error that escaped an event handler to the application's error report
// (null: an error that is no std::exception).
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
std::string ErrorReportText(const std::string& message);
