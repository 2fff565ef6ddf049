// HillArt: three different ridges, black on the key colour: Image12 with a domed summit,
// Image13 with one pointed peak, Image14 with two rock spires.
#pragma once

#include <QImage>

class HillArt {
public:
    static QImage Image12();
    static QImage Image13();
    static QImage Image14();
};
