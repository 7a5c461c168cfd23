// Turning decoded photos upright from the EXIF Orientation tag their camera wrote.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/Image.h"

namespace fotoloom {

// The Orientation tag (1..8) of the first image directory of an APP1 "Exif"
// segment's payload (starting at "Exif\0\0"); 1 when the data is not EXIF,
// holds no such tag or holds a value outside 1..8.
int ReadExifOrientation(const std::uint8_t* data, std::size_t size);

// Width and height of the upright image for a stored width x height.
void UprightSize(int orientation, int storedWidth, int storedHeight, int& width, int& height);

// Puts stored row y (storedWidth RGB pixels) of a storedWidth x storedHeight
// photo at its upright place in upright, which has the UprightSize. Values 2
// to 8 mirror and turn; 1 and anything else copy the row as it is.
void PlaceRow(int orientation, const std::uint8_t* row, int y, int storedWidth, int storedHeight, Image& upright);

// Mirrors a row of width RGB pixels left to right in place.
void MirrorRow(std::uint8_t* row, int width);

// Whether the orientation mirrors stored rows left to right (2 and 3), and
// whether it turns their order upside down (3 and 4). Values 5 to 8 turn
// rows into columns and answer false to both.
inline bool MirrorsRows(int orientation) { return orientation == 2 || orientation == 3; }
inline bool FlipsRows(int orientation) { return orientation == 3 || orientation == 4; }
inline bool TurnsRows(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace fotoloom
