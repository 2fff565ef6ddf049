// Linked into Project1-measure only: once the screen form exists, draws each of its
// 28 pictures once into a scratch raster, so that every sky, banner and set of eyes is
// decoded and the resident memory measured is that of a saver that has shown them all.
// With "--busy" after "/S", its first tick draws a plan with every layer shown, stars
// and rain, which stays: the saver at its busiest, for steady figures; with "--no-rain"
// as well, the same plan without the rain.
#include "BusyPlan.h"
#include "scene/Catalogue.h"
#include "screen/TScrnFrm.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Qt is handed the program's path alone, so the arguments come from the process.
bool HasArgument(const char* wanted)
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(in, argument, '\0')) {
        if (argument == wanted)
            return true;
    }
    return false;
}

// Runs from the event loop: the forms are made before the loop starts. Tries again
// later in the unlikely case that the loop ran before the screen form was made.
void WarmWhenFormsExist()
{
    if (ScrnFrm == nullptr) {
        QTimer::singleShot(10, WarmWhenFormsExist);
        return;
    }
    Raster scratch(1, 1);
    Catalogue& pictures = ScrnFrm->Pictures();
    for (int holder = 1; holder <= PictureCount; ++holder)
        pictures.Draw(scratch, holder, 0, 0);
    std::fprintf(stderr, "Project1-measure: all %d pictures decoded\n", PictureCount);
}

void ScheduleWarming()
{
    QTimer::singleShot(0, WarmWhenFormsExist);
    if (HasArgument("--busy"))
        HoldBusyPlan(!HasArgument("--no-rain"), "Project1-measure");
}

} // namespace

// Runs when the QApplication is made, before the program's own start-up.
Q_COREAPP_STARTUP_FUNCTION(ScheduleWarming)
