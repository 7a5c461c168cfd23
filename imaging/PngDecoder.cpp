// The PNG decoder over libpng: the only file that talks to the library.
#include "imaging/PngDecoder.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/Error.h"
#include "imaging/Orientation.h"

namespace fotoloom {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The library's reader and what its error handler leaves behind. The
// functions that call setjmp below work on it through a pointer and hold no
// objects with destructors; its owner releases the library's memory.
struct Reader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  char message[200] = {};
  Reader() = default;
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
  ~Reader() {
    if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  }
};

// Keeps the library's message and jumps back; nothing is printed.
extern "C" void OnPngError(png_structp png, png_const_charp message) {
  auto* r = static_cast<Reader*>(png_get_error_ptr(png));
  std::snprintf(r->message, sizeof r->message, "%s", message);
  png_longjmp(png, 1);
}

extern "C" void OnPngWarning(png_structp, png_const_charp) {}

// What the header says, after the transformations to 8-bit RGB(A).
struct Header {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int colourType = 0;
  bool interlaced = false;
  int channels = 0;  // 3 or 4 per output pixel
  png_bytep icc = nullptr;
  png_uint_32 iccSize = 0;
  png_bytep exif = nullptr;
  png_uint_32 exifSize = 0;
};

// Reads the signature and the chunks up to the image data, and sets up the
// output as 8-bit RGB or RGBA. False after a library error.
bool ReadHeader(Reader* r, std::FILE* file, Header* h) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  png_init_io(r->png, file);
  png_read_info(r->png, r->info);
  int depth = 0;
  int interlace = 0;
  png_get_IHDR(r->png, r->info, &h->width, &h->height, &depth, &h->colourType, &interlace, nullptr, nullptr);
  h->interlaced = interlace != PNG_INTERLACE_NONE;
  png_charp name = nullptr;
  int compression = 0;
  png_get_iCCP(r->png, r->info, &name, &compression, &h->icc, &h->iccSize);
  png_get_eXIf_1(r->png, r->info, &h->exifSize, &h->exif);

  if (h->colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r->png);
  if (h->colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(r->png);
  if (png_get_valid(r->png, r->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(r->png);
  // Rounds 16-bit samples to the nearest 8-bit value.
  if (depth == 16) png_set_scale_16(r->png);
  if (!(h->colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(r->png);
  if (h->interlaced) png_set_interlace_handling(r->png);
  png_read_update_info(r->png, r->info);
  h->channels = png_get_channels(r->png, r->info);
  return true;
}

// Reads the next row into row. False after a library error.
bool ReadRow(Reader* r, png_bytep row) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  png_read_row(r->png, row, nullptr);
  return true;
}

// Reads the whole interlaced image through rows. False after a library error.
bool ReadImage(Reader* r, png_bytepp rows) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  png_read_image(r->png, rows);
  return true;
}

}  // namespace

// The file being read and its reader, which is destroyed before the file is closed.
struct PngDecoder::Reading {
  std::unique_ptr<std::FILE, FileCloser> file;
  Reader reader;
  std::string path;
  int channels = 3;
  bool interlaced = false;
  std::vector<std::uint8_t> decoded;  // a row, or the whole interlaced image
  bool whole = false;                 // decoded holds the whole image
};

PngDecoder::PngDecoder() = default;
PngDecoder::~PngDecoder() = default;

std::unique_ptr<PngDecoder::Reading> PngDecoder::Open(const std::string& path) {
  reading_.reset();
  ResetFacts();
  auto reading = std::make_unique<Reading>();
  reading->path = path;
  reading->file.reset(std::fopen(path.c_str(), "rbe"));
  if (!reading->file) ThrowCannotOpenFile(path, errno);
  Reader& r = reading->reader;
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, OnPngError, OnPngWarning);
  if (r.png != nullptr) r.info = png_create_info_struct(r.png);
  if (r.png == nullptr || r.info == nullptr) throw Error("Out of memory");
  Header h;
  if (!ReadHeader(&r, reading->file.get(), &h)) ThrowCannotDecode(path, "PNG", r.message);
  CheckPixelLimit(h.width, h.height);
  storedWidth_ = static_cast<int>(h.width);
  storedHeight_ = static_cast<int>(h.height);
  reading->channels = h.channels;
  reading->interlaced = h.interlaced;
  greyPixels_ = Grayscale || !(h.colourType & PNG_COLOR_MASK_COLOR);
  if (h.icc != nullptr && h.iccSize > 0) colour_.Icc.assign(reinterpret_cast<const char*>(h.icc), h.iccSize);
  if (h.exif != nullptr && h.exifSize > 0) {
    // The chunk holds what follows "Exif\0\0" in a JPEG's APP1 segment.
    std::vector<std::uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), h.exif, h.exif + h.exifSize);
    orientation_ = ReadExifOrientation(app1.data(), app1.size());
  }
  return reading;
}

void PngDecoder::Inspect(const std::string& path) { Open(path); }

void PngDecoder::Start(const std::string& path) {
  std::unique_ptr<Reading> reading = Open(path);
  const std::size_t rowBytes = static_cast<std::size_t>(storedWidth_) * static_cast<std::size_t>(reading->channels);
  reading->decoded.resize(rowBytes);
  reading_ = std::move(reading);
}

int PngDecoder::ReadRows(std::uint8_t* const* rows, int count) {
  if (!reading_ || count <= 0) return 0;
  Reading& r = *reading_;
  const std::size_t rowBytes = static_cast<std::size_t>(storedWidth_) * static_cast<std::size_t>(r.channels);
  if (r.interlaced && !r.whole) {
    // Every pass touches every part of the image: it is decoded whole once.
    r.decoded.resize(rowBytes * static_cast<std::size_t>(storedHeight_));
    std::vector<png_bytep> all(static_cast<std::size_t>(storedHeight_));
    for (int y = 0; y < storedHeight_; ++y) all[static_cast<std::size_t>(y)] = r.decoded.data() + rowBytes * y;
    Busy();
    if (!ReadImage(&r.reader, all.data())) {
      const std::string message = r.reader.message;
      const std::string path = r.path;
      reading_.reset();
      ThrowCannotDecode(path, "PNG", message);
    }
    r.whole = true;
  }
  int read = 0;
  for (; read < count && rowsRead_ < storedHeight_; ++read, ++rowsRead_) {
    const std::uint8_t* source;
    if (r.whole) {
      source = r.decoded.data() + rowBytes * static_cast<std::size_t>(rowsRead_);
    } else {
      Busy();
      if (!ReadRow(&r.reader, r.decoded.data())) {
        const std::string message = r.reader.message;
        const std::string path = r.path;
        reading_.reset();
        ThrowCannotDecode(path, "PNG", message);
      }
      source = r.decoded.data();
    }
    FinishRow(source, r.channels, rows[read], storedWidth_);
  }
  return read;
}

void PngDecoder::FinishReading() {
  if (!reading_) return;
  // The rows left are read so that damage in them is still reported; the
  // chunks after the image data carry nothing the pictures need.
  std::vector<std::uint8_t> row(static_cast<std::size_t>(storedWidth_) * 3);
  std::uint8_t* p = row.data();
  while (rowsRead_ < storedHeight_)
    if (ReadRows(&p, 1) != 1) break;
  reading_.reset();
}

}  // namespace fotoloom
