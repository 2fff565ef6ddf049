// BranchArt: the branches reaching in from the left: Image8 (pine boughs, 1 bit, black
// on white) and Image9 (bare overhanging branches, black on the key colour).
#pragma once

#include <QImage>

class BranchArt {
public:
    static QImage Image8();
    static QImage Image9();
};
