// A stored form of 28 stand-in pictures with the picture table's kinds, sizes and depths, whose pixels make
// each layer easy to find in a frame: keyed pictures are all key colour except a
// marker block at their top-left and bottom-right corners; the others are one flat
// colour.
#pragma once

#include "platform/raster/Raster.h"
#include "support/Colour.h"
#include "support/PictureFiles.h"

// The marker colour of a 24-bit keyed picture, or the flat colour of a JPEG one.
Pixel LayerColour(int holder);
// How far a stand-in's colour may come out in a frame, per channel: a JPEG's flat
// colour carries its coding error.
constexpr int StandInError = 4;

// The stand-in form; breakHolder, when given, is a JPEG whose header reads but whose
// decoding fails.
Bytes SyntheticForm(int breakHolder = 0);
