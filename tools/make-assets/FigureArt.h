// FigureArt: the figures, 1 bit, black on white: Image21 (a gallows with a hanging
// figure), Image22 (a warrior leaning on a sword on a mound), Image23 (a standing
// soldier with a pike).
#pragma once

#include <QImage>

class FigureArt {
public:
    static QImage Image21();
    static QImage Image22();
    static QImage Image23();
};
