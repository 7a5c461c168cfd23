// The full-size JPEG that stands in for the original of a photo of another format.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fotoloom {

// How the full-size JPEG of a photo is made.
struct FullSizeSettings {
  int Quality = 90;  // the scaled images' quality
  std::array<std::uint8_t, 3> Background{255, 255, 255};
};

// Decodes the photo at inputPath, chosen by its content (HEIF, PNG, WebP or
// JPEG), at full size, turns it upright, converts it into sRGB, lays
// transparent pixels on the background and encodes it as a sequential
// colour JPEG at the quality into jpeg. Browsers other than Safari show no
// HEIC photo, so the gallery links this JPEG instead of the file. warnings
// gets what the user should hear (a colour profile ignored). onBusy is
// called while the photo is decoded and encoded. Raises the decoders' and
// the encoder's errors.
void MakeFullSizeJpeg(const std::string& inputPath, const FullSizeSettings& settings,
                      const std::function<void()>& onBusy, std::string& jpeg, std::vector<std::string>& warnings);

}  // namespace fotoloom
