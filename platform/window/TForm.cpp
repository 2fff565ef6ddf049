// The form's part that every window system shares: the description's properties as
// set, handed to the window once it exists; the density rule's state; the close rule;
// the events the window systems report up.
#include "platform/window/TForm.h"

#include "platform/window/TApplication.h"
#include "platform/window/TControl.h"
#include "platform/window/WindowPlatform.h"

#include <algorithm>

void TForm::SetName(std::string name)
{
    m_name = std::move(name);
    ApplyProperties();
}

void TForm::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    ApplyProperties();
}

void TForm::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    ApplyProperties();
}

void TForm::SetStayOnTop(bool on)
{
    m_stayOnTop = on;
    ApplyProperties();
}

void TForm::SetColor(TColor colour)
{
    m_color = colour;
    ApplyProperties();
}

void TForm::SetFont(const TFont& font)
{
    m_font = font;
    ApplyProperties();
}

void TForm::AddControl(TControl* control)
{
    m_controls.push_back(control);
}

void TForm::RemoveControl(TControl* control)
{
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
}

void TForm::SetDesignDensity(int pixelsPerInch, int textHeight)
{
    m_scale.designDensity = pixelsPerInch;
    m_scale.designTextHeight = textHeight;
}

int TForm::BuiltForDensity() const
{
    MakeWindow();
    return m_scale.builtForDensity;
}

int TForm::ScaleNumerator() const
{
    MakeWindow();
    return m_scale.numerator;
}

int TForm::ScaleDenominator() const
{
    MakeWindow();
    return m_scale.denominator;
}

void TForm::Close()
{
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

void FormMade(TForm& form)
{
    if (Application)
        Application->RegisterForm(&form);
}

void FormDestroying(TForm& form)
{
    // A visible form is hidden before it is destroyed, so that OnHide runs.
    if (form.Visible())
        form.Hide();
    if (Application)
        Application->UnregisterForm(&form);
}

void FormShowing(TForm& form)
{
    if (form.OnShow)
        RunHandler(form.OnShow);
}

void FormActivated(TForm& form)
{
    if (form.OnActivate)
        RunHandler(form.OnActivate);
}

void FormHidden(TForm& form)
{
    if (form.OnHide)
        RunHandler(form.OnHide);
}

void FormCloseRequested(TForm& form)
{
    form.Close();
}

void ActivateAnotherForm(const TForm& hidden)
{
    if (!Application)
        return;
    TForm* next = nullptr;
    TForm* main = Application->MainForm();
    if (main && main != &hidden && main->Visible())
        next = main;
    for (TForm* form : Application->Forms()) {
        if (!next && form != &hidden && form->Visible())
            next = form;
    }
    if (next)
        next->Activate();
}
