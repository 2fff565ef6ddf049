// A Win32 form's fonts: made once per face and size at the size the density rule
// gives them, in the face the system has, or its dialog font's.
#include "platform/window/win32/Win32Impl.h"

#include <string>

namespace {

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The face where the system has it; otherwise the face of the system's dialog font.
std::string AvailableFace(const std::string& face)
{
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    if (const HDC screen = GetDC(nullptr)) {
        EnumFontFamiliesExA(screen, &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
        ReleaseDC(nullptr, screen);
    }
    if (found)
        return face;
    LOGFONTA fallback{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback) != 0)
        return fallback.lfFaceName;
    return face;
}

} // namespace

// The height of a font's text line in pixels.
int TextHeight(HFONT font)
{
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

HFONT TForm::Impl::Font(const TFont& font)
{
    const int pixels = WindowPlatform::ScaleOf(form).FontPixels(font);
    const auto key = std::make_pair(font.Name, pixels);
    const auto found = fonts.find(key);
    if (found != fonts.end())
        return found->second;
    // A negative height asks for the character height, without the internal leading.
    const HFONT made = CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, AvailableFace(font.Name).c_str());
    fonts[key] = made;
    return made;
}
