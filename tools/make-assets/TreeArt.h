// TreeArt: the short tree Image10 (a broad bare tree) and the tall tree Image11 (a pine),
// black on the key colour.
#pragma once

#include <QImage>

class TreeArt {
public:
    static QImage Image10();
    static QImage Image11();
};
