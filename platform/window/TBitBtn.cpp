// A bitmap button: the kinds with their captions and dialog roles, its glyph, and the
// click that sends what escapes its handler to the error report.
#include "platform/window/TBitBtn.h"

#include "platform/window/TApplication.h"

void TBitBtn::SetKind(TBitBtnKind kind)
{
    m_kind = kind;
    m_default = kind == TBitBtnKind::OK;
    m_cancel = kind == TBitBtnKind::Cancel;
    switch (kind) {
    case TBitBtnKind::OK:
        m_caption = "OK";
        break;
    case TBitBtnKind::Cancel:
        m_caption = "Cancel";
        break;
    case TBitBtnKind::Ignore:
        m_caption = "&Ignore";
        break;
    case TBitBtnKind::Custom:
        break;
    }
    Changed();
}

void TBitBtn::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    Changed();
}

void TBitBtn::SetGlyph(std::span<const std::uint8_t> bmpFile)
{
    m_glyph.assign(bmpFile.begin(), bmpFile.end());
    Changed();
}

void TBitBtn::Click()
{
    // Nothing may leave a click: what escapes the handler goes to the error report.
    if (OnClick)
        RunHandler([this] { OnClick(this); });
}
