// Start-up and mode selection.
#include "app/StartUp.h"

#include "app/AppTitle.h"
#include "config/TCfgFrm.h"
#include "platform/Exception.h"
#include "platform/window/MessageBox.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <QGuiApplication>
#include <QScreen>
#include <future>
#include <memory>
#include <new>

namespace {

// The picture set-up: displays of 8 bits per pixel or fewer get quantised JPEGs.
JpegDepth DecodingDepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr && screen->depth() <= 8 ? JpegDepth::Quantised236 : JpegDepth::TrueColour;
}

// The pictures are unpacked on a second core while the forms are made; what the
// loading raises comes out here, after both forms, as the screen form's would have.
void CreateForms(bool screenSaverMode, std::span<const std::uint8_t> pictures, JpegDepth depth)
{
    std::future<std::unique_ptr<Catalogue>> loading =
        std::async(std::launch::async | std::launch::deferred,
                   [pictures, depth] { return Catalogue::Load(pictures, depth); });
    if (screenSaverMode) {
        ScrnFrm = new TScrnFrm(TScrnFrm::PicturesLater{});
        CfgFrm = new TCfgFrm();
    } else {
        CfgFrm = new TCfgFrm();
        ScrnFrm = new TScrnFrm(TScrnFrm::PicturesLater{});
    }
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

QString StartUpErrorText(const std::exception& error, const QString& moduleName, const void* address)
{
    QString message = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? QStringLiteral("Out of memory")
                                                                              : QString::fromUtf8(error.what());
    const QString fullStop = message.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    const QString position =
        QStringLiteral("%1").arg(reinterpret_cast<quintptr>(address), int(sizeof(void*) * 2), 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("Exception %1 in module %2 at %3.\n%4%5")
        .arg(QString::fromLatin1(ErrorClassName(error)), moduleName, position, message, fullStop);
}

int RunProject1(int argc, const char* const* argv, std::span<const std::uint8_t> pictures)
{
    const QString programPath = argc > 0 && argv[0] != nullptr ? QString::fromLocal8Bit(argv[0]) : QString();
    TApplication application;
    application.SetTitle(ApplicationTitle(programPath));

    const JpegDepth depth = DecodingDepth();
    const bool screenSaverMode = IsScreenSaverMode(argc, argv);
    try {
        CreateForms(screenSaverMode, pictures, depth);
    } catch (const std::exception& error) {
        ShowMessageBox({QStringLiteral("Application Error"),
                        StartUpErrorText(error, ModuleName(programPath), reinterpret_cast<const void*>(&CreateForms)),
                        TMessageBoxIcon::Error, true});
        DestroyForms();
        return 1;
    }
    application.Run();
    DestroyForms();
    return 0;
}
