// The application object's part that every window system shares: the forms and the
// main form, the hook slot, and the error report.
#include "platform/window/TApplication.h"

#include "platform/window/MessageBox.h"
#include "platform/window/TForm.h"

#include <algorithm>
#include <stdexcept>

TApplication* Application = nullptr;

void TApplication::SetOnMessage(MessageEvent hook)
{
    m_onMessage = std::move(hook);
}

int TApplication::Run()
{
    if (m_mainForm)
        ShowMainForm();
    RunLoop();
    return 0;
}

bool TApplication::OfferMessage(TMsg& msg)
{
    if (!m_onMessage || InModalLoop())
        return false;
    bool handled = false;
    // A copy, so that the hook may replace or empty the slot while it runs.
    const MessageEvent hook = m_onMessage;
    RunHandler([&] { hook(msg, handled); });
    return handled;
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

TForm* TApplication::ActiveForm() const
{
    for (TForm* form : m_forms) {
        if (form->Active())
            return form;
    }
    return nullptr;
}

std::string ErrorReportText(const std::string& message)
{
    // The last character, taken whole when it is a UTF-8 sequence; any of those sorts
    // after the full stop.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

void TApplication::HandleException(const std::exception& error)
{
    ShowMessageBox({m_title, ErrorReportText(error.what()), TMessageBoxIcon::Error, false});
}

void ReportHandlerError(const std::exception* error)
{
    const std::runtime_error unknown("Unknown error");
    const std::exception& report = error ? *error : unknown;
    if (Application) {
        Application->HandleException(report);
        return;
    }
    ShowMessageBox({std::string(), ErrorReportText(report.what()), TMessageBoxIcon::Error, false});
}
