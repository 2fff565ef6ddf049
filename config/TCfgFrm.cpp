// The configuration dialog: built from TCfgFrm.ui, scaled to the display's density,
// with the button handlers and the settings write.
#include "config/TCfgFrm.h"

#include "platform/profile/TIniFile.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"
#include "ui_TCfgFrm.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <cassert>
#include <cstdint>
#include <cstdlib>

TCfgFrm* CfgFrm = nullptr;

// The glyph pictures travel inside the program as a Qt resource of this library; a
// static library must register it by name, outside any namespace.
static void InitGlyphResources()
{
    Q_INIT_RESOURCE(ConfigGlyphs);
}

namespace {

// The form description is laid out for this density and this text height.
constexpr int DesignDpi = 96;
constexpr int DesignTextHeight = 13;
// Character heights of the dialog font and of the title label at the design density.
constexpr int DialogFontPixels = 11;
constexpr int TitleFontPixels = 24;

constexpr auto SettingsFile = "VESKAN.INI";

// number * numerator / denominator, rounded to the nearest integer with halves away
// from zero, computed without overflow for any int arguments; denominator > 0.
int MulDiv(int number, int numerator, int denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t magnitude = (std::llabs(product) + denominator / 2) / denominator;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

QFont DialogFont(const QFont& base, int pixels)
{
    QFont font = base;
    font.setFamilies({QStringLiteral("MS Sans Serif")});
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TCfgFrm::TCfgFrm(QWidget* parent) : TForm(parent)
{
    InitGlyphResources();

    Ui_TCfgFrm ui;
    ui.setupUi(this);
    Label2 = ui.Label2;
    Label3 = ui.Label3;
    Label4 = ui.Label4;
    Label5 = ui.Label5;
    Label6 = ui.Label6;
    Label7 = ui.Label7;
    btnOK = ui.btnOK;
    btnCancel = ui.btnCancel;
    btnTest = ui.btnTest;
    RadioGroup1 = ui.RadioGroup1;

    // A fixed dialog frame whose title bar holds only the system menu and the close box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    const QScreen* screen = QGuiApplication::primaryScreen();
    m_builtForDpi = screen ? qRound(screen->logicalDotsPerInch()) : DesignDpi;
    if (m_builtForDpi <= 0)
        m_builtForDpi = DesignDpi;
    ApplyFonts(m_builtForDpi);
    if (m_builtForDpi != DesignDpi)
        ApplyDensityScale(QFontMetrics(font()).height(), DesignTextHeight);
    setFixedSize(size());
    FitLabelsToText();
    LoadGlyphs();

    BindClick(btnOK, &TCfgFrm::btnOKClick);
    BindClick(btnCancel, &TCfgFrm::btnCancelClick);
    BindClick(btnTest, &TCfgFrm::btnTestClick);

    // The first control in tab order takes the focus when the dialog is first active.
    btnOK->setFocus();
}

TCfgFrm::~TCfgFrm() = default;

void TCfgFrm::btnOKClick(QObject* /*sender*/)
{
    SaveSettings();
    Close();
}

void TCfgFrm::btnCancelClick(QObject* /*sender*/)
{
    Close();
}

void TCfgFrm::btnTestClick(QObject* /*sender*/)
{
    SaveSettings();
    // Start-up makes both windows before the loop runs, in either mode.
    assert(ScrnFrm);
    ScrnFrm->Show();
}

void TCfgFrm::SaveSettings()
{
    // The profile object flushes and is released when it leaves scope, on the error
    // path too.
    TIniFile ini(SettingsFile);
    ini.WriteInteger("Config", "Type", RadioGroup1->ItemIndex());
}

void TCfgFrm::keyPressEvent(QKeyEvent* event)
{
    // A focused button takes Enter and Space itself; what it leaves comes here.
    switch (event->key()) {
    case Qt::Key_Escape:
        if (event->modifiers() == Qt::NoModifier) {
            btnCancel->click();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            btnOK->click();
            return;
        }
        break;
    default:
        break;
    }
    TForm::keyPressEvent(event);
}

void TCfgFrm::showEvent(QShowEvent* event)
{
    if (!m_shownBefore && !event->spontaneous()) {
        m_shownBefore = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            // Centre the whole window, frame included where the frame is known yet.
            const QRect area = screen->geometry();
            const QSize outer = frameGeometry().size();
            move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
        }
    }
    TForm::showEvent(event);
}

void TCfgFrm::ApplyFonts(int dpi)
{
    const int dialogPixels = MulDiv(DialogFontPixels, dpi, DesignDpi);
    setFont(DialogFont(font(), dialogPixels));
    for (QLabel* label : {Label2, Label3, Label4, Label5, Label6})
        label->setFont(DialogFont(label->font(), dialogPixels));
    Label7->setFont(DialogFont(Label7->font(), MulDiv(TitleFontPixels, dpi, DesignDpi)));
}

void TCfgFrm::ApplyDensityScale(int numerator, int denominator)
{
    m_scaleNumerator = numerator;
    m_scaleDenominator = denominator;
    auto scaled = [&](const QRect& r) {
        return QRect(MulDiv(r.x(), numerator, denominator), MulDiv(r.y(), numerator, denominator),
                     MulDiv(r.width(), numerator, denominator), MulDiv(r.height(), numerator, denominator));
    };
    // Every control of the description, the radio group's item included.
    const QList<QWidget*> controls = findChildren<QWidget*>();
    for (QWidget* control : controls)
        control->setGeometry(scaled(control->geometry()));
    resize(MulDiv(width(), numerator, denominator), MulDiv(height(), numerator, denominator));
}

void TCfgFrm::FitLabelsToText()
{
    // Each label is as wide as its text's advance and as high as its font's line.
    for (QLabel* label : {Label2, Label3, Label4, Label5, Label6, Label7}) {
        const QFontMetrics metrics(label->font());
        label->resize(metrics.horizontalAdvance(label->text()), metrics.height());
    }
}

void TCfgFrm::LoadGlyphs()
{
    btnOK->SetGlyph(QImage(QStringLiteral(":/config/glyphs/BBOK.bmp")));
    btnCancel->SetGlyph(QImage(QStringLiteral(":/config/glyphs/BBCANCEL.bmp")));
    btnTest->SetGlyph(QImage(QStringLiteral(":/config/glyphs/BBIGNORE.bmp")));
}

void TCfgFrm::BindClick(QPushButton* button, void (TCfgFrm::*handler)(QObject*))
{
    // Nothing may leave a slot: what escapes the handler goes to the error report.
    connect(button, &QAbstractButton::clicked, this,
            [this, button, handler] { RunHandler([&] { (this->*handler)(button); }); });
}
