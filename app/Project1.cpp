// Project1: the screen saver. "/S" shows the night scene full-screen; any other start
// opens the configuration dialog.
#include "app/StartUp.h"
#include "scene/Catalogue.h"

int main(int argc, char** argv)
{
    return RunProject1(argc, argv, ScreenFormPictures());
}
