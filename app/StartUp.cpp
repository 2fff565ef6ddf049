// Start-up and mode selection.
#include "app/StartUp.h"

#include "app/AppTitle.h"
#include "app/StartMode.h"
#include "config/TCfgFrm.h"
#include "platform/Exception.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Screen.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <cinttypes>
#include <cstdio>
#include <future>
#include <memory>
#include <new>
#include <utility>

namespace {

// The picture set-up: displays of 8 bits per pixel or fewer get quantised JPEGs.
JpegDepth DecodingDepth()
{
    return ScreenColourDepth() <= 8 ? JpegDepth::Quantised236 : JpegDepth::TrueColour;
}

// The pictures are unpacked on a second core from the program's start, while the
// window system is reached and the forms are made.
std::future<std::unique_ptr<Catalogue>> StartLoading(std::span<const std::uint8_t> pictures, JpegDepth depth)
{
    return std::async(std::launch::async | std::launch::deferred,
                      [pictures, depth] { return Catalogue::Load(pictures, depth); });
}

// What the loading raises comes out here, after both forms, as the screen form's would
// have.
void CreateForms(bool screenSaverMode, std::future<std::unique_ptr<Catalogue>> loading)
{
    if (screenSaverMode) {
        ScrnFrm = new TScrnFrm(TScrnFrm::PicturesLater{});
        CfgFrm = new TCfgFrm();
    } else {
        CfgFrm = new TCfgFrm();
        ScrnFrm = new TScrnFrm(TScrnFrm::PicturesLater{});
    }
    // The dialog's Test shows the screen window; the dialog knows no more of it.
    CfgFrm->ShowScene = [] {
        if (ScrnFrm)
            ScrnFrm->Show();
    };
    ScrnFrm->TakePictures(loading.get());
}

void DestroyForms()
{
    // The screen window, if still shown, is hidden as it is destroyed, so its hide
    // steps run.
    delete ScrnFrm;
    ScrnFrm = nullptr;
    delete CfgFrm;
    CfgFrm = nullptr;
}

} // namespace

const char* ErrorClassName(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->ClassName();
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr)
        return "EOutOfMemory";
    return "Exception";
}

std::string StartUpErrorText(const std::exception& error, const std::string& moduleName, const void* address)
{
    const std::string message =
        dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? std::string("Out of memory") : error.what();
    const std::string fullStop = !message.empty() && message.back() == '.' ? "" : ".";
    // The code position in upper-case hexadecimal, as wide as a pointer.
    char position[2 * sizeof(void*) + 1];
    std::snprintf(position, sizeof position, "%0*" PRIXPTR, static_cast<int>(2 * sizeof(void*)),
                  reinterpret_cast<std::uintptr_t>(address));
    return "Exception " + std::string(ErrorClassName(error)) + " in module " + moduleName + " at " + position +
           ".\n" + message + fullStop;
}

int RunProject1(int argc, const char* const* argv, std::span<const std::uint8_t> pictures)
{
    const std::string programPath = argc > 0 && argv[0] != nullptr ? argv[0] : std::string();
    // Unpacked for a true-colour screen before the screen is known, as nearly every
    // screen is; a screen of 256 colours or fewer has them unpacked again for its own.
    std::future<std::unique_ptr<Catalogue>> loading = StartLoading(pictures, JpegDepth::TrueColour);
    TApplication application(programPath);
    application.SetTitle(ApplicationTitle(programPath));

    const JpegDepth depth = DecodingDepth();
    if (depth != JpegDepth::TrueColour)
        loading = StartLoading(pictures, depth);
    const bool screenSaverMode = IsScreenSaverMode(argc, argv);
    try {
        CreateForms(screenSaverMode, std::move(loading));
    } catch (const std::exception& error) {
        ShowMessageBox({"Application Error",
                        StartUpErrorText(error, ModuleName(programPath), reinterpret_cast<const void*>(&CreateForms)),
                        TMessageBoxIcon::Error, true});
        DestroyForms();
        return 1;
    }
    application.Run();
    DestroyForms();
    return 0;
}
