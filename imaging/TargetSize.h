// The sizes the scaled-image and thumbnail writers give their targets.
#pragma once

namespace fotoloom {

struct TargetSize {
  int Width;
  int Height;
};

// The scaled image's size for a width x height source within maxWidth x
// maxHeight. An image that fits keeps its size. Otherwise the longer side
// (width when square) takes its bound and the other side is
// Floor(bound / longer x shorter), the quotient and the product each rounded
// to 80-bit extended precision; that side is not tested against its own
// bound, so 1000 x 900 in 800 x 600 gives 800 x 720 and 700 x 650 gives
// 800 x 742. Bounds below 1 count as 1, and a side that comes out below 1
// pixel is given 1, so every target can be encoded.
TargetSize ScaledImageSize(int width, int height, int maxWidth, int maxHeight);

// The thumbnail's size: as ScaledImageSize, but the shorter side is
// Floor(shorter / (longer / bound)), which can be one less (172 x 129 in 160
// gives 160 x 119).
TargetSize ThumbnailSize(int width, int height, int maxWidth, int maxHeight);

}  // namespace fotoloom
