// CastleArt: the two castles, Image6 (a battlemented wall rising to a tower on a crag)
// and Image7 (a ruined tower on a rocky hill), black on the key colour.
#pragma once

#include <QImage>

class CastleArt {
public:
    static QImage Image6();
    static QImage Image7();
};
