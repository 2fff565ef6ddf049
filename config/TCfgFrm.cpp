// The configuration dialog, built from its form description, with the button handlers
// and the settings write.
#include "config/TCfgFrm.h"

#include "platform/profile/TIniFile.h"

#include <cassert>

TCfgFrm* CfgFrm = nullptr;

namespace {

constexpr TColor Navy = Rgb(0, 0, 128);
constexpr TColor Red = Rgb(255, 0, 0);
constexpr TColor Yellow = Rgb(255, 255, 0);
constexpr TColor Aqua = Rgb(0, 255, 255);

// The dialog font: "MS Sans Serif", 11 pixels character height (8 points at 96 pixels
// per inch); the title card's 24 (18 points).
const TFont DialogFont{"MS Sans Serif", 11, clWindowText};
const TFont TitleFont{"MS Sans Serif", 24, clWindowText};
TFont DialogFontIn(TColor colour)
{
    return TFont{DialogFont.Name, DialogFont.Height, colour};
}

constexpr auto SettingsFile = "VESKAN.INI";

} // namespace

TCfgFrm::TCfgFrm()
{
    // The description, laid out for 96 pixels per inch and a text height of 13.
    SetName("CfgFrm");
    SetCaption("Configuration");
    SetBorderStyle(TBorderStyle::Dialog);
    SetClientBounds(Rect::Sized(0, 0, 313, 200));
    SetColor(Navy);
    SetFont(DialogFont);
    SetPosition(TFormPosition::ScreenCenter);
    SetDesignDensity(96, 13);

    Label7.SetBounds(144, 48, 157, 29);
    Label7.SetCaption("TALVEXNET");
    Label7.SetColor(Red);
    Label7.SetFont(TitleFont);

    Label3.SetBounds(144, 80, 109, 13);
    Label3.SetCaption("Windows ScreenSaver");
    Label3.SetColor(Navy);
    Label3.SetFont(DialogFontIn(Yellow));

    Label6.SetBounds(128, 112, 61, 13);
    Label6.SetCaption("by Mira Kestelyn");
    Label6.SetColor(Navy);
    Label6.SetFont(DialogFontIn(Aqua));

    Label4.SetBounds(128, 128, 53, 13);
    Label4.SetCaption("Version 1.0");
    Label4.SetColor(Navy);
    Label4.SetFont(DialogFontIn(Aqua));

    Label5.SetBounds(208, 128, 46, 13);
    Label5.SetCaption("13/10/07");
    Label5.SetColor(Navy);
    Label5.SetFont(DialogFontIn(Aqua));

    Label2.SetBounds(128, 144, 135, 13);
    Label2.SetCaption("www.talvexnet.example");
    Label2.SetColor(Navy);
    Label2.SetFont(DialogFontIn(Aqua));

    btnOK.SetBounds(9, 35, 72, 34);
    btnOK.SetTabOrder(0);
    btnOK.SetKind(TBitBtnKind::OK);
    btnOK.OnClick = [this](TControl* sender) { btnOKClick(sender); };

    btnCancel.SetBounds(9, 75, 72, 34);
    btnCancel.SetTabOrder(1);
    btnCancel.SetKind(TBitBtnKind::Cancel);
    btnCancel.OnClick = [this](TControl* sender) { btnCancelClick(sender); };

    btnTest.SetBounds(9, 115, 72, 34);
    btnTest.SetTabOrder(2);
    btnTest.SetKind(TBitBtnKind::Ignore);
    btnTest.SetCaption("Test...");
    btnTest.OnClick = [this](TControl* sender) { btnTestClick(sender); };

    RadioGroup1.SetBounds(8, 152, 97, 41);
    RadioGroup1.SetTabOrder(3);
    RadioGroup1.SetCaption("Talvex Saver");
    RadioGroup1.SetItems({"Quellan Saver"});
    RadioGroup1.SetVisible(false);
}

TCfgFrm::~TCfgFrm()
{
    if (CfgFrm == this)
        CfgFrm = nullptr;
}

void TCfgFrm::btnOKClick(TControl* /*sender*/)
{
    SaveSettings();
    Close();
}

void TCfgFrm::btnCancelClick(TControl* /*sender*/)
{
    Close();
}

void TCfgFrm::btnTestClick(TControl* /*sender*/)
{
    SaveSettings();
    // Start-up connects the screen window before the loop runs, in either mode.
    assert(ShowScene);
    if (ShowScene)
        ShowScene();
}

void TCfgFrm::SaveSettings()
{
    // The profile object flushes and is released when it leaves scope, on the error
    // path too.
    TIniFile ini(SettingsFile);
    ini.WriteInteger("Config", "Type", RadioGroup1.ItemIndex());
}
