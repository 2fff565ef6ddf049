// MoonArt: the moon Image20, a full moon disc in pale greys with darker patches, on the
// key colour.
#pragma once

#include <QImage>

class MoonArt {
public:
    static QImage Image20();
};
