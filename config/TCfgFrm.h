// The configuration dialog: title card, OK / Cancel / Test... buttons, the hidden type
// selector, and the settings write behind OK and Test.
#pragma once

#include "config/TGlyphButton.h"
#include "config/TRadioGroup.h"
#include "platform/window/TForm.h"

class QKeyEvent;
class QLabel;
class QShowEvent;

class TCfgFrm : public TForm {
    Q_OBJECT
public:
    // Built hidden from the form description, with the density rule applied for the
    // primary screen. The caller keeps the instance in CfgFrm.
    explicit TCfgFrm(QWidget* parent = nullptr);
    ~TCfgFrm() override;

    // The components of the form description; the dialog owns them (Qt children).
    QLabel* Label2 = nullptr;   // publisher web address
    QLabel* Label3 = nullptr;   // "Windows ScreenSaver"
    QLabel* Label4 = nullptr;   // "Version 1.0"
    QLabel* Label5 = nullptr;   // release date
    QLabel* Label6 = nullptr;   // author credit
    QLabel* Label7 = nullptr;   // "TALVEXNET" on red
    TGlyphButton* btnOK = nullptr;
    TGlyphButton* btnCancel = nullptr;
    TGlyphButton* btnTest = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;

    // Event handlers, as the buttons' OnClick binds them; sender is the button.
    // They may raise; the click binding reports what escapes to the application's
    // error report.
    void btnOKClick(QObject* sender);
    void btnCancelClick(QObject* sender);
    void btnTestClick(QObject* sender);

    // Writes ItemIndex of RadioGroup1 as "Type" in section "Config" of VESKAN.INI.
    // Raises EIniFileException "Unable to write to VESKAN.INI" when the write fails.
    void SaveSettings();

    // The density the geometry was built for and the resulting scale: text height of
    // the dialog font over the design text height of 13 (1/1 at 96 pixels per inch).
    int BuiltForDpi() const { return m_builtForDpi; }
    int ScaleNumerator() const { return m_scaleNumerator; }
    int ScaleDenominator() const { return m_scaleDenominator; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ApplyFonts(int dpi);
    void ApplyDensityScale(int numerator, int denominator);
    void FitLabelsToText();
    void LoadGlyphs();
    void BindClick(QPushButton* button, void (TCfgFrm::*handler)(QObject*));

    int m_builtForDpi = 96;
    int m_scaleNumerator = 1;
    int m_scaleDenominator = 1;
    bool m_shownBefore = false;
};

extern TCfgFrm* CfgFrm;
