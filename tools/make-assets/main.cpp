// make-assets: draws the scene pictures, the button glyphs and the icon into an asset
// folder (`make-assets OUTDIR`), or a contact sheet of an asset folder
// (`make-assets --sheet FILE.png [ASSETDIR]`). The build never runs it.
#include "AssetWriter.h"
#include "ContactSheet.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv)
{
    // Fonts need a GUI application, but no window is ever shown.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    try {
        if (args.size() >= 3 && args[1] == "--sheet") {
            ContactSheet::Write(args.size() >= 4 ? args[3] : QString("assets"), args[2]);
            return 0;
        }
        if (args.size() == 2 && !args[1].startsWith("-")) {
            AssetWriter(args[1]).WriteAll();
            return 0;
        }
        std::fprintf(stderr, "usage: make-assets OUTDIR\n       make-assets --sheet FILE.png [ASSETDIR]\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-assets: %s\n", e.what());
        return 1;
    }
}
