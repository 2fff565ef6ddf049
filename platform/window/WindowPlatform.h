// The window layer's contract: what each window system's part (qt/, win32/) supplies,
// what the shared part keeps for it, and the events it reports back up. A further
// window system is a matter of supplying what this file lists. Included by the
// platform sources only: screen/, config/ and app/ see the interface headers alone.
//
// Calls down: each platform defines
//   - the parts behind the interface objects, each its own state as one struct:
//     TApplication::Impl, TForm::Impl, TFrameSurface::Impl, TTimer::Impl;
//   - the application: TApplication's constructor (connect to the window system, or
//     say in one line that there is none and exit 1), destructor, RunLoop (the
//     application's own loop, until the quit request), ShowMainForm, Terminate and
//     QueueCall;
//   - the form: TForm's constructor and destructor (reporting FormMade and
//     FormDestroying), MakeWindow (the window from the description, the density
//     rule applied through FormScale), ApplyProperties, SetClientBounds,
//     ClientBounds, SetTransparentColor, TransparencyActive, Show, Hide, Visible,
//     Active, Activate, SetWindowState, ClientWidth, ClientHeight, Monitor, Handle;
//   - the controls: TControl::Changed (the control's window takes its description)
//     and TControl::Handle;
//   - the frame surface: TFrameSurface's constructor and destructor (registered with
//     the form through AttachSurface and DetachSurface below), CopyFrame, FramesShown;
//   - the timer: TTimer's constructor, destructor, UpdateTimer and Running;
//   - the free services: Monitors, ScreenColourDepth (Screen.h), the cursor
//     (Cursor.h) and the platform's message box (MessageBox.h).
//
// Events up: a platform reports, from its own event handling,
//   - a form made and about to be destroyed: FormMade, FormDestroying;
//   - a form about to be shown, activated, hidden, or asked to close by the window
//     system: FormShowing, FormActivated, FormHidden, FormCloseRequested;
//   - each message its application loop takes: TApplication::OfferMessage, before
//     the dispatch, which it skips when the hook sets the handled flag;
//   - a timer's tick: TimerFired;
//   - a button pressed, by mouse or key: TBitBtn::Click; a radio item checked:
//     TRadioGroup::SetItemIndex;
//   - an error escaping a handler it runs: ReportHandlerError (TApplication.h).
#pragma once

#include "platform/window/FormScale.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"
#include "platform/window/TTimer.h"

// The shared part's door for the platforms: the part behind each interface object,
// and the state the shared part keeps for every window system.
class WindowPlatform {
public:
    template <typename Object>
    static typename Object::Impl& ImplOf(const Object& object)
    {
        return *object.m_impl;
    }
    static FormScale& ScaleOf(const TForm& form) { return const_cast<TForm&>(form).m_scale; }
    // The frame surface that shows frames in the form's client area, if one does.
    static TFrameSurface* SurfaceOf(const TForm& form) { return form.m_surface; }
    static void AttachSurface(TForm& form, TFrameSurface& surface) { form.m_surface = &surface; }
    static void DetachSurface(TForm& form, const TFrameSurface& surface)
    {
        if (form.m_surface == &surface)
            form.m_surface = nullptr;
    }
    static void TimerFired(TTimer& timer) { timer.Tick(); }
};

template <typename Object>
typename Object::Impl& ImplOf(const Object& object)
{
    return WindowPlatform::ImplOf(object);
}

// A form's constructor and destructor report the form made and going: the
// application's list of forms, and OnHide for a form destroyed while shown.
void FormMade(TForm& form);
void FormDestroying(TForm& form);
// Events up from a form's window. FormHidden comes after the window is gone, for a
// hide that did not come through TForm::Hide (which runs OnHide itself, before).
void FormShowing(TForm& form);
void FormActivated(TForm& form);
void FormHidden(TForm& form);
// The window system's close request (the close box, Alt+F4): the main-window rule.
void FormCloseRequested(TForm& form);
// After an active form was hidden: activates the main form when it is shown, else the
// first other form shown, as Windows gives the activation back to the application.
void ActivateAnotherForm(const TForm& hidden);
