// The configuration dialog: title card, OK / Cancel / Test... buttons, the hidden type
// selector, and the settings write behind OK and Test.
#pragma once

#include "platform/window/TBitBtn.h"
#include "platform/window/TForm.h"
#include "platform/window/TLabel.h"
#include "platform/window/TRadioGroup.h"

#include <functional>

class TCfgFrm : public TForm {
public:
    // Built hidden from the form description. The caller keeps the instance in CfgFrm.
    TCfgFrm();
    ~TCfgFrm() override;

    // The components of the form description; the dialog owns them.
    TLabel Label7{*this, "Label7"};   // "TALVEXNET" on red
    TLabel Label3{*this, "Label3"};   // "Windows ScreenSaver"
    TLabel Label6{*this, "Label6"};   // author credit
    TLabel Label4{*this, "Label4"};   // "Version 1.0"
    TLabel Label5{*this, "Label5"};   // release date
    TLabel Label2{*this, "Label2"};   // publisher web address
    TBitBtn btnOK{*this, "btnOK"};
    TBitBtn btnCancel{*this, "btnCancel"};
    TBitBtn btnTest{*this, "btnTest"};
    TRadioGroup RadioGroup1{*this, "RadioGroup1"};

    // Event handlers, as the buttons' OnClick binds them; sender is the button. They
    // may raise; the click reports what escapes to the application's error report.
    void btnOKClick(TControl* sender);
    void btnCancelClick(TControl* sender);
    void btnTestClick(TControl* sender);

    // Writes ItemIndex of RadioGroup1 as "Type" in section "Config" of VESKAN.INI.
    // Raises EIniFileException "Unable to write to VESKAN.INI" when the write fails.
    void SaveSettings();

    // What Test shows: the screen window, as start-up connects it.
    std::function<void()> ShowScene;
};

extern TCfgFrm* CfgFrm;
