// EXIF orientation: reading the tag with libexif and placing decoded rows upright.
#include "imaging/Orientation.h"

#include <libexif/exif-data.h>

#include <cstring>
#include <memory>
#include <utility>

namespace fotoloom {

namespace {

struct ExifDataUnref {
  void operator()(ExifData* data) const { exif_data_unref(data); }
};

}  // namespace

int ReadExifOrientation(const std::uint8_t* data, std::size_t size) {
  static const char kHeader[] = "Exif\0\0";
  if (data == nullptr || size < 6 || std::memcmp(data, kHeader, 6) != 0) return 1;
  std::unique_ptr<ExifData, ExifDataUnref> exif(exif_data_new());
  if (!exif) return 1;
  // Read the tags as the camera wrote them; no repairs or additions.
  exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_load_data(exif.get(), data, static_cast<unsigned int>(size));
  // Only the main image's directory counts: IFD 1 describes the embedded thumbnail.
  ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2) return 1;
  const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
  return value >= 1 && value <= 8 ? value : 1;
}

void UprightSize(int orientation, int storedWidth, int storedHeight, int& width, int& height) {
  const bool swapped = orientation >= 5 && orientation <= 8;
  width = swapped ? storedHeight : storedWidth;
  height = swapped ? storedWidth : storedHeight;
}

void PlaceRow(int orientation, const std::uint8_t* row, int y, int storedWidth, int storedHeight, Image& upright) {
  const int w = storedWidth;
  const int h = storedHeight;
  const std::ptrdiff_t pixel = 3;
  const std::ptrdiff_t line = static_cast<std::ptrdiff_t>(upright.stride());
  // Where stored pixel (0, y) lands, and how far on the next stored pixel
  // lands, as offsets into the upright image (offsets, not pointers, so
  // that no pointer is ever formed before the start of the buffer).
  auto at = [&](int ux, int uy) { return static_cast<std::ptrdiff_t>(uy) * line + ux * pixel; };
  std::ptrdiff_t offset;
  std::ptrdiff_t step;
  switch (orientation) {
    // laid out by hand as a table
    // clang-format off
    case 2: offset = at(w - 1, y); step = -pixel; break;          // mirrored left-right
    case 3: offset = at(w - 1, h - 1 - y); step = -pixel; break;  // turned 180 degrees
    case 4: offset = at(0, h - 1 - y); step = pixel; break;       // mirrored top-bottom
    case 5: offset = at(y, 0); step = line; break;                // transposed
    case 6: offset = at(h - 1 - y, 0); step = line; break;        // needs a quarter turn clockwise
    case 7: offset = at(h - 1 - y, w - 1); step = -line; break;   // transversed
    case 8: offset = at(y, w - 1); step = -line; break;           // needs a quarter turn anticlockwise
    // clang-format on
    default: std::memcpy(upright.row(y), row, static_cast<std::size_t>(w) * 3); return;
  }
  std::uint8_t* const data = upright.data();
  for (int x = 0; x < w; ++x, offset += step, row += 3) {
    data[offset] = row[0];
    data[offset + 1] = row[1];
    data[offset + 2] = row[2];
  }
}

void MirrorRow(std::uint8_t* row, int width) {
  for (int left = 0, right = width - 1; left < right; ++left, --right) {
    std::uint8_t* a = row + 3 * left;
    std::uint8_t* b = row + 3 * right;
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
    std::swap(a[2], b[2]);
  }
}

}  // namespace fotoloom
