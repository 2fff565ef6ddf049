// The controls over Qt: a QLabel for TLabel, a glyph push button for TBitBtn, a group
// box of radio buttons for TRadioGroup, made with their form's window.
#include "platform/window/qt/QtImpl.h"

#include "platform/window/TBitBtn.h"
#include "platform/window/TLabel.h"
#include "platform/window/TRadioGroup.h"
#include "platform/window/qt/GlyphButton.h"
#include "platform/window/qt/RadioGroupBox.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>

namespace {

// The glyph pictures of the bitmap buttons' kinds.
QImage KindGlyph(TBitBtnKind kind)
{
    switch (kind) {
    case TBitBtnKind::OK:
        return QImage(QStringLiteral(":/glyphs/BBOK.bmp"));
    case TBitBtnKind::Cancel:
        return QImage(QStringLiteral(":/glyphs/BBCANCEL.bmp"));
    case TBitBtnKind::Ignore:
        return QImage(QStringLiteral(":/glyphs/BBIGNORE.bmp"));
    case TBitBtnKind::Custom:
        break;
    }
    return QImage();
}

// Radio buttons stand one below the other inside the group's frame.
constexpr int ItemLeft = 8;
constexpr int ItemTop = 16;
constexpr int ItemHeight = 17;

} // namespace

void TControl::Changed()
{
    TForm::Impl& form = ImplOf(m_owner);
    if (form.Made())
        form.ApplyControl(*this);
}

TWindowHandle TControl::Handle() const
{
    return ImplOf(m_owner).Made() ? ImplOf(m_owner).ControlWidget(*this) : nullptr;
}

QWidget* TForm::Impl::ControlWidget(const TControl& control)
{
    const auto found = controls.find(&control);
    return found == controls.end() ? nullptr : found->second;
}

QWidget* QtWidget(const TControl& control)
{
    ImplOf(control.Owner()).Widget();
    return ImplOf(control.Owner()).ControlWidget(control);
}

void TForm::Impl::ApplyControl(TControl& control)
{
    QWidget* w = ControlWidget(control);
    if (auto* label = dynamic_cast<TLabel*>(&control)) {
        auto* q = static_cast<QLabel*>(w);
        if (!q) {
            q = new QLabel(widget.get());
            q->setTextFormat(Qt::PlainText);
            q->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            q->setWordWrap(false);
            q->setMargin(0);
            q->setIndent(0);
            q->setTextInteractionFlags(Qt::NoTextInteraction);
            q->setFocusPolicy(Qt::NoFocus);
            q->setAutoFillBackground(true);
            w = q;
        }
        q->setText(QString::fromStdString(label->Caption()));
        QPalette palette = q->palette();
        palette.setColor(QPalette::Window, ToQColor(label->Color()));
        palette.setColor(QPalette::WindowText, ToQColor(label->Font().Color));
        q->setPalette(palette);
    } else if (auto* button = dynamic_cast<TBitBtn*>(&control)) {
        auto* q = static_cast<GlyphButton*>(w);
        if (!q) {
            q = new GlyphButton(widget.get());
            q->setFocusPolicy(Qt::StrongFocus);
            q->setAutoDefault(true);
            QObject::connect(q, &QAbstractButton::clicked, [button] { button->Click(); });
            w = q;
        }
        q->setText(QString::fromStdString(button->Caption()));
        q->setDefault(button->Default());
        const std::span<const std::uint8_t> glyph = button->Glyph();
        q->SetGlyph(glyph.empty() ? KindGlyph(button->Kind())
                                  : QImage::fromData(glyph.data(), static_cast<int>(glyph.size()), "BMP"));
    } else if (auto* group = dynamic_cast<TRadioGroup*>(&control)) {
        auto* q = static_cast<RadioGroupBox*>(w);
        if (!q) {
            q = new RadioGroupBox(widget.get());
            w = q;
        }
        q->setTitle(QString::fromStdString(group->Caption()));
        const std::vector<std::string>& items = group->Items();
        while (q->Count() < static_cast<int>(items.size()))
            new QRadioButton(q);
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            QRadioButton* item = q->Item(i);
            item->setObjectName(QString::fromStdString(group->Name() + "Item" + std::to_string(i)));
            item->setText(QString::fromStdString(items[static_cast<std::size_t>(i)]));
            const QRect bounds(ItemLeft, ItemTop + ItemHeight * i, control.Width() - 2 * ItemLeft, ItemHeight);
            item->setGeometry(ScaledRect(bounds, WindowPlatform::ScaleOf(form)));
        }
        q->SetItemIndex(group->ItemIndex());
    }
    if (!w)
        return;
    controls[&control] = w;
    w->setObjectName(QString::fromStdString(control.Name()));
    if (!control.ParentFont())
        w->setFont(ToQFont(control.Font(), WindowPlatform::ScaleOf(form).FontPixels(control.Font())));
    QRect bounds = ControlBounds(control);
    if (auto* label = dynamic_cast<QLabel*>(w)) {
        // A label is as wide as its text's advance and as high as its font's line.
        const QFontMetrics metrics(label->font());
        bounds.setSize(QSize(metrics.horizontalAdvance(label->text()), metrics.height()));
    }
    w->setGeometry(bounds);
    w->setVisible(control.Visible());
}
