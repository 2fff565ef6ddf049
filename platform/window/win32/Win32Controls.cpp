// The controls over Win32, made with their form's window: a STATIC for TLabel, an
// owner-drawn BUTTON with the kind's glyph for TBitBtn, a group box of radio buttons
// for TRadioGroup.
#include "platform/window/win32/Win32Impl.h"

#include <cstring>

namespace {

// Radio buttons stand one below the other inside the group's frame.
constexpr int ItemLeft = 8;
constexpr int ItemTop = 16;
constexpr int ItemHeight = 17;
// Between a button's glyph and its caption.
constexpr int GlyphSpacing = 4;

// A packed DIB (header, colour table, pixels) drawn into 32-bit pixels, top-down.
Glyph DrawDib(const BITMAPINFO& info, const void* bits)
{
    const int width = info.bmiHeader.biWidth;
    const int height = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096)
        return {};
    const BITMAPINFO target = TopDownPixels(width, height);
    void* targetBits = nullptr;
    const HBITMAP dib = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &targetBits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    Glyph glyph;
    if (dib && dc && targetBits) {
        const HGDIOBJ previous = SelectObject(dc, dib);
        if (SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                              static_cast<UINT>(height), bits, &info, DIB_RGB_COLORS) != 0) {
            GdiFlush();
            const auto* pixels = static_cast<const std::uint32_t*>(targetBits);
            glyph.width = width;
            glyph.height = height;
            glyph.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            for (std::uint32_t& p : glyph.pixels)
                p &= 0x00FFFFFFu;
        }
        SelectObject(dc, previous);
    }
    if (dc)
        DeleteDC(dc);
    if (dib)
        DeleteObject(dib);
    return glyph;
}

// The bytes of a packed DIB's colour table (and bit-field masks).
std::size_t ColourTableBytes(const BITMAPINFOHEADER& header)
{
    if (header.biBitCount <= 8)
        return (header.biClrUsed != 0 ? header.biClrUsed : (1u << header.biBitCount)) * sizeof(RGBQUAD);
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER))
        return 3 * sizeof(DWORD);
    return header.biClrUsed * sizeof(RGBQUAD);
}

const char* KindResource(TBitBtnKind kind)
{
    switch (kind) {
    case TBitBtnKind::OK:
        return "BBOK";
    case TBitBtnKind::Cancel:
        return "BBCANCEL";
    case TBitBtnKind::Ignore:
        return "BBIGNORE";
    case TBitBtnKind::Custom:
        break;
    }
    return nullptr;
}

struct TextSize {
    int width = 0;
    int height = 0;
};

TextSize MeasureText(HFONT font, const std::string& text)
{
    TextSize size;
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return size;
    const HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    size.height = metrics.tmHeight;
    SIZE extent{};
    if (!text.empty() && GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &extent))
        size.width = extent.cx;
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return size;
}

// The system's button procedure, which the bitmap buttons pass their messages on to.
WNDPROC g_buttonProcedure = nullptr;

// An owner-drawn button takes a second press soon after the first for a double click
// and reports no click for it; a bitmap button is pressed by every press.
LRESULT CALLBACK BitmapButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDBLCLK)
        message = WM_LBUTTONDOWN;
    return CallWindowProcA(g_buttonProcedure, window, message, wParam, lParam);
}

HWND MakeChild(HWND parent, const char* windowClass, DWORD style)
{
    return CreateWindowExA(0, windowClass, "", WS_CHILD | style, 0, 0, 0, 0, parent, nullptr, ModuleInstance(),
                           nullptr);
}

void Place(HWND window, const RECT& r, bool visible)
{
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

} // namespace

Glyph KindGlyph(TBitBtnKind kind)
{
    const char* name = KindResource(kind);
    if (!name)
        return {};
    const HRSRC resource = FindResourceA(ModuleInstance(), name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    const HGLOBAL loaded = resource ? LoadResource(ModuleInstance(), resource) : nullptr;
    const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD size = resource ? SizeofResource(ModuleInstance(), resource) : 0;
    if (!data || size < sizeof(BITMAPINFOHEADER))
        return {};
    const auto& info = *reinterpret_cast<const BITMAPINFO*>(data);
    const std::size_t offset = info.bmiHeader.biSize + ColourTableBytes(info.bmiHeader);
    if (offset >= size)
        return {};
    return DrawDib(info, data + offset);
}

Glyph FileGlyph(std::span<const std::uint8_t> bmpFile)
{
    // A file image: the 14-byte file header, then the packed DIB; the pixels at the
    // file header's offset.
    constexpr std::size_t FileHeader = 14;
    if (bmpFile.size() < FileHeader + sizeof(BITMAPINFOHEADER) || bmpFile[0] != 'B' || bmpFile[1] != 'M')
        return {};
    std::uint32_t pixelsAt = 0;
    std::memcpy(&pixelsAt, bmpFile.data() + 10, sizeof pixelsAt);
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bmpFile.data() + FileHeader, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || pixelsAt >= bmpFile.size() ||
        FileHeader + header.biSize + ColourTableBytes(header) > bmpFile.size())
        return {};
    // The header and colour table copied out, so that they are aligned.
    std::vector<std::uint8_t> info(bmpFile.begin() + FileHeader,
                                   bmpFile.begin() + static_cast<std::ptrdiff_t>(FileHeader + header.biSize +
                                                                                 ColourTableBytes(header)));
    return DrawDib(*reinterpret_cast<const BITMAPINFO*>(info.data()), bmpFile.data() + pixelsAt);
}

void TControl::Changed()
{
    TForm::Impl& form = ImplOf(m_owner);
    if (form.Made())
        form.ApplyControl(*this);
}

TWindowHandle TControl::Handle() const
{
    const TForm::Impl& form = ImplOf(m_owner);
    const auto found = form.controls.find(this);
    return found == form.controls.end() ? nullptr : found->second.window;
}

void TForm::Impl::ApplyControl(TControl& control)
{
    ControlWindows& parts = controls[&control];
    const HFONT font = Font(control.Font());
    RECT bounds = ScaledRect(control.Left(), control.Top(), control.Width(), control.Height());
    if (auto* label = dynamic_cast<TLabel*>(&control)) {
        if (!parts.window)
            parts.window = MakeChild(window, "STATIC", SS_LEFT | SS_NOPREFIX);
        SetWindowTextA(parts.window, ToAnsi(label->Caption()).c_str());
        if (parts.background)
            DeleteObject(parts.background);
        parts.background = CreateSolidBrush(ToColorRef(label->Color()));
        // A label is as wide as its text and as high as its font's line.
        const TextSize text = MeasureText(font, ToAnsi(label->Caption()));
        bounds.right = bounds.left + text.width;
        bounds.bottom = bounds.top + text.height;
    } else if (auto* button = dynamic_cast<TBitBtn*>(&control)) {
        if (!parts.window) {
            parts.window = MakeChild(window, "BUTTON", WS_TABSTOP | BS_OWNERDRAW);
            const auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                parts.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BitmapButtonProcedure)));
            if (!g_buttonProcedure)
                g_buttonProcedure = previous;
        }
        SetWindowTextA(parts.window, ToAnsi(button->Caption()).c_str());
        const std::span<const std::uint8_t> own = button->Glyph();
        parts.glyph = own.empty() ? KindGlyph(button->Kind()) : FileGlyph(own);
    } else if (auto* group = dynamic_cast<TRadioGroup*>(&control)) {
        if (!parts.window)
            parts.window = MakeChild(window, "BUTTON", BS_GROUPBOX);
        SetWindowTextA(parts.window, ToAnsi(group->Caption()).c_str());
        const std::vector<std::string>& items = group->Items();
        while (parts.items.size() < items.size())
            parts.items.push_back(MakeChild(window, "BUTTON", WS_TABSTOP | BS_AUTORADIOBUTTON));
        for (std::size_t i = 0; i < parts.items.size(); ++i) {
            const HWND item = parts.items[i];
            const bool shown = i < items.size() && control.Visible();
            if (i < items.size())
                SetWindowTextA(item, ToAnsi(items[i]).c_str());
            SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SendMessageA(item, BM_SETCHECK, static_cast<int>(i) == group->ItemIndex() ? BST_CHECKED : BST_UNCHECKED,
                         0);
            const int top = ItemTop + ItemHeight * static_cast<int>(i);
            Place(item,
                  ScaledRect(control.Left() + ItemLeft, control.Top() + top, control.Width() - 2 * ItemLeft,
                             ItemHeight),
                  shown);
        }
    }
    if (!parts.window)
        return;
    SendMessageA(parts.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Place(parts.window, bounds, control.Visible());
    InvalidateRect(parts.window, nullptr, TRUE);
}

void TForm::Impl::DrawButton(const DRAWITEMSTRUCT& item)
{
    TBitBtn* button = ButtonOf(item.hwndItem);
    if (!button)
        return;
    const HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    // The dark outline of the button Enter presses: the focused one, or the default
    // one while no button has the focus.
    if (focused || (button->Default() && !ButtonOf(GetFocus()))) {
        FrameRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    // The glyph picture holds the normal image and the greyed one side by side.
    const Glyph& picture = controls[button].glyph;
    const bool twoImages = !picture.Empty() && picture.width == 2 * picture.height;
    const int glyphWidth = twoImages ? picture.width / 2 : picture.width;
    const int glyphHeight = picture.height;
    const HFONT font = Font(button->Font());
    const std::string caption = ToAnsi(button->Caption());
    const TextSize text = MeasureText(font, caption);

    // Glyph and caption centred together, 4 pixels between them; an odd remainder's
    // extra pixel goes to the left and top margins. A pushed button moves its content.
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int spacing = glyphWidth == 0 || text.width == 0 ? 0 : GlyphSpacing;
    const int shift = pushed ? 1 : 0;
    const int left = item.rcItem.left + (width - (glyphWidth + spacing + text.width) + 1) / 2 + shift;
    const int glyphTop = item.rcItem.top + (height - glyphHeight + 1) / 2 + shift;
    const int textTop = item.rcItem.top + (height - text.height + 1) / 2 + shift;

    if (glyphWidth > 0) {
        // The picture's bottom-left pixel's colour shows the button's face instead.
        const std::uint32_t key = picture.pixels[static_cast<std::size_t>(picture.height - 1) *
                                                 static_cast<std::size_t>(picture.width)];
        const COLORREF faceColour = GetSysColor(COLOR_BTNFACE);
        const std::uint32_t faceRgb = (static_cast<std::uint32_t>(GetRValue(faceColour)) << 16) |
                                      (static_cast<std::uint32_t>(GetGValue(faceColour)) << 8) | GetBValue(faceColour);
        const int from = twoImages && disabled ? glyphWidth : 0;
        std::vector<Pixel> pixels(static_cast<std::size_t>(glyphWidth) * static_cast<std::size_t>(glyphHeight));
        for (int y = 0; y < glyphHeight; ++y) {
            for (int x = 0; x < glyphWidth; ++x) {
                const std::uint32_t p = picture.pixels[static_cast<std::size_t>(y) *
                                                           static_cast<std::size_t>(picture.width) +
                                                       static_cast<std::size_t>(from + x)];
                pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(glyphWidth) +
                       static_cast<std::size_t>(x)] = p == key ? faceRgb : p;
            }
        }
        CopyPixels(dc, left, glyphTop, pixels.data(), glyphWidth, 0, glyphWidth, glyphHeight);
    }
    if (!caption.empty()) {
        // TextOutA draws an ampersand as it stands, never as an accelerator mark.
        const HGDIOBJ previous = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : ToColorRef(button->Font().Color));
        TextOutA(dc, left + glyphWidth + spacing, textTop, caption.c_str(), static_cast<int>(caption.size()));
        SelectObject(dc, previous);
    }
    if (focused) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}
