// The JPEG codec over libjpeg's IJG interface: the only file that talks to the library.
#include "imaging/JpegCodec.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

// jpeglib.h needs size_t and FILE declared before it, jerror.h needs jpeglib.h.
#include <jpeglib.h>
#include <jerror.h>

#include "core/Error.h"
#include "imaging/Orientation.h"

namespace fotoloom {

namespace {

// Grey decoding: the library's one-pass quantiser with this many levels.
constexpr int kGreyLevels = 236;

// libjpeg's error manager extended by the jump back into our code. The
// library reaches this struct through cinfo.err, so jpeg_error_mgr comes first.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int code;
  int warnings;
};

extern "C" void OnErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->code = cinfo->err->msg_code;
  std::longjmp(err->jump, 1);
}

// Counts warnings (level -1); traces and the printing of messages are dropped.
extern "C" void OnEmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0) reinterpret_cast<ErrorManager*>(cinfo->err)->warnings++;
}

extern "C" void OnOutputMessage(j_common_ptr) {}

void InitErrorManager(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnErrorExit;
  err.pub.emit_message = OnEmitMessage;
  err.pub.output_message = OnOutputMessage;
  err.code = 0;
  err.warnings = 0;
}

[[noreturn]] void ThrowJpegError(int code) { throw Error("JPEG error #" + std::to_string(code)); }

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Decompression state. The functions that call setjmp below work on it
// through a pointer and hold no objects with destructors themselves; this
// struct's owner releases the library's memory on every path.
struct Decoder {
  ErrorManager err;
  jpeg_decompress_struct cinfo;
  bool created = false;
  Decoder() = default;
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

struct Encoder {
  ErrorManager err;
  jpeg_compress_struct cinfo;
  bool created = false;
  unsigned char* buffer = nullptr;  // grown by the library's memory destination
  unsigned long size = 0;
  Encoder() = default;
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  ~Encoder() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

// Reads the header and the APP1 segments. False after a library error.
bool ReadHeader(Decoder* d, std::FILE* file) {
  InitErrorManager(d->err);
  d->cinfo.err = &d->err.pub;
  if (setjmp(d->err.jump)) return false;
  jpeg_create_decompress(&d->cinfo);
  d->created = true;
  jpeg_stdio_src(&d->cinfo, file);
  jpeg_save_markers(&d->cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&d->cinfo, TRUE);
  return true;
}

// Chooses the output colours and starts decompression. False after a library error.
bool StartDecoding(Decoder* d, bool grey, bool* progressive) {
  if (setjmp(d->err.jump)) return false;
  jpeg_decompress_struct& c = d->cinfo;
  *progressive = jpeg_has_multiple_scans(&c) != 0;
  if (grey || c.num_components == 1) {
    c.out_color_space = JCS_GRAYSCALE;
    c.quantize_colors = TRUE;
    c.desired_number_of_colors = kGreyLevels;
    c.two_pass_quantize = FALSE;
    c.dither_mode = JDITHER_ORDERED;
  } else {
    c.out_color_space = JCS_RGB;
  }
  jpeg_start_decompress(&c);
  return true;
}

// Reads every row into the upright image, which the caller has sized. Rows
// go straight into the image when nothing needs turning or mapping; else
// through row (room for one row of output_width RGB pixels). False after a
// library error.
bool ReadRows(Decoder* d, int orientation, std::uint8_t* row, Image* image) {
  if (setjmp(d->err.jump)) return false;
  jpeg_decompress_struct& c = d->cinfo;
  const int width = static_cast<int>(c.output_width);
  const int height = static_cast<int>(c.output_height);
  const bool indexed = c.quantize_colors != 0;
  const bool direct = !indexed && (orientation < 2 || orientation > 8);
  while (c.output_scanline < c.output_height) {
    const int y = static_cast<int>(c.output_scanline);
    JSAMPROW target = direct ? image->row(y) : row;
    if (jpeg_read_scanlines(&c, &target, 1) != 1) break;  // only a suspending source returns 0
    if (direct) continue;
    if (indexed) {
      // Expand the grey indices through the colour map, from the right so
      // that the indices are read before their bytes are overwritten.
      const JSAMPLE* map = c.colormap[0];
      for (int x = width - 1; x >= 0; --x) {
        const std::uint8_t grey = map[row[x]];
        row[3 * x] = grey;
        row[3 * x + 1] = grey;
        row[3 * x + 2] = grey;
      }
    }
    PlaceRow(orientation, row, y, width, height, *image);
  }
  jpeg_finish_decompress(&c);
  return true;
}

// Compresses the image into e's memory buffer. False after a library error.
bool Compress(Encoder* e, const Image* image, int quality, bool grey, bool progressive) {
  InitErrorManager(e->err);
  e->cinfo.err = &e->err.pub;
  if (setjmp(e->err.jump)) return false;
  jpeg_compress_struct& c = e->cinfo;
  jpeg_create_compress(&c);
  e->created = true;
  jpeg_mem_dest(&c, &e->buffer, &e->size);
  c.image_width = static_cast<JDIMENSION>(image->width());
  c.image_height = static_cast<JDIMENSION>(image->height());
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  // The library turns the RGB rows into one grey component itself, so an
  // image whose colours a pixel format has changed still encodes as grey.
  if (grey) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image->row(static_cast<int>(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  return true;
}

int FindOrientation(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker != JPEG_APP0 + 1) continue;
    if (m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
      return ReadExifOrientation(m->data, m->data_length);
  }
  return 1;
}

}  // namespace

void JpegCodec::CheckEncodableSize(int width, int height) {
  if (width < 1 || height < 1) ThrowJpegError(JERR_EMPTY_IMAGE);
  if (width > kJpegMaxDimension || height > kJpegMaxDimension) ThrowJpegError(JERR_IMAGE_TOO_BIG);
}

void JpegCodec::Load(const std::string& path, Image& image) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rbe"));
  if (!file) ThrowCannotOpenFile(path, errno);
  Decoder d;
  progressive_ = false;
  components_ = 0;
  orientation_ = 1;
  warnings_ = 0;
  const bool header = ReadHeader(&d, file.get());
  warnings_ = d.err.warnings;
  if (!header) ThrowJpegError(d.err.code);
  components_ = d.cinfo.num_components;
  orientation_ = FindOrientation(d.cinfo);
  const bool started = StartDecoding(&d, Grayscale, &progressive_);
  warnings_ = d.err.warnings;
  if (!started) ThrowJpegError(d.err.code);

  const int width = static_cast<int>(d.cinfo.output_width);
  const int height = static_cast<int>(d.cinfo.output_height);
  int uprightWidth;
  int uprightHeight;
  UprightSize(orientation_, width, height, uprightWidth, uprightHeight);
  image.Resize(uprightWidth, uprightHeight);
  if (row_.size() < static_cast<std::size_t>(width) * 3) row_.resize(static_cast<std::size_t>(width) * 3);
  const bool read = ReadRows(&d, orientation_, row_.data(), &image);
  warnings_ = d.err.warnings;
  if (!read) ThrowJpegError(d.err.code);
}

void JpegCodec::Encode(const Image& image, std::string& jpeg) {
  CheckEncodableSize(image.width(), image.height());
  Encoder e;
  const bool done = Compress(&e, &image, Quality, Grayscale, progressive_);
  warnings_ = e.err.warnings;
  if (!done) ThrowJpegError(e.err.code);
  jpeg.assign(reinterpret_cast<const char*>(e.buffer), e.size);
}

}  // namespace fotoloom
