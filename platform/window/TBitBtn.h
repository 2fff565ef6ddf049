// A bitmap button: a glyph to the left of its caption, 4 pixels between them, both
// centred together on the button. Its kind supplies caption, glyph and keyboard role.
#pragma once

#include "platform/window/TControl.h"

#include <utility>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// bkOK: "OK", the green check mark, the default button (Enter); bkCancel: "Cancel",
// the red cross, the cancel button (Escape); bkIgnore: "&Ignore", the walking figure.
enum class TBitBtnKind { Custom, OK, Cancel, Ignore };

class TBitBtn : public TControl {
public:
    TBitBtn(TForm& owner, std::string name) : TControl(owner, std::move(name)) {}

    // Sets the kind's caption, glyph and role; a caption set afterwards wins.
    void SetKind(TBitBtnKind kind);
    TBitBtnKind Kind() const { return m_kind; }
    void SetCaption(std::string caption);
    // The caption shown: the button's own, else its kind's. An ampersand is drawn as
    // it stands; no caption has an accelerator.
    const std::string& Caption() const { return m_caption; }
    // A BMP file image of two square images side by side, the normal one and the one
    // shown while the button is disabled; its bottom-left pixel's colour is
    // transparent. Empty: the kind's glyph.
    void SetGlyph(std::span<const std::uint8_t> bmpFile);
    std::span<const std::uint8_t> Glyph() const { return m_glyph; }
    // Enter anywhere on the form presses the default button, Escape the cancel one.
    bool Default() const { return m_default; }
    bool Cancel() const { return m_cancel; }

    // OnClick, with the button as the sender; Click presses it as a person would.
    std::function<void(TControl* sender)> OnClick;
    void Click();

private:
    TBitBtnKind m_kind = TBitBtnKind::Custom;
    std::string m_caption;
    std::vector<std::uint8_t> m_glyph;
    bool m_default = false;
    bool m_cancel = false;
};
