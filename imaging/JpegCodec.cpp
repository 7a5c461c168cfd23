// The JPEG codec over libjpeg's IJG interface: the only file that talks to the library.
#include "imaging/JpegCodec.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

// jpeglib.h needs size_t and FILE declared before it, jerror.h needs jpeglib.h.
#include <jerror.h>
#include <jpeglib.h>

#include "core/Error.h"
#include "imaging/ColourConversion.h"
#include "imaging/Orientation.h"
#include "imaging/OutputRecipe.h"

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
  char text[JMSG_LENGTH_MAX];  // the library's own words for the error
  int warnings;
  // The first warning: its code and the library's words.
  int warningCode;
  char warningText[JMSG_LENGTH_MAX];
};

extern "C" void OnErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->code = cinfo->err->msg_code;
  (*cinfo->err->format_message)(cinfo, err->text);
  std::longjmp(err->jump, 1);
}

// Counts warnings (level -1) and keeps the first; traces and the printing
// of messages are dropped.
extern "C" void OnEmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  if (err->warnings++ > 0) return;
  err->warningCode = cinfo->err->msg_code;
  (*cinfo->err->format_message)(cinfo, err->warningText);
}

extern "C" void OnOutputMessage(j_common_ptr) {}

void InitErrorManager(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnErrorExit;
  err.pub.emit_message = OnEmitMessage;
  err.pub.output_message = OnOutputMessage;
  err.code = 0;
  err.text[0] = '\0';
  err.warnings = 0;
  err.warningCode = 0;
  err.warningText[0] = '\0';
}

// What a file that decoded with warnings lacks, in the user's words: data
// that ended early leaves the rest of the picture grey.
std::string DamageOf(const ErrorManager& err) {
  if (err.warnings == 0) return {};
  const bool cutShort = err.warningCode == JWRN_JPEG_EOF || err.warningCode == JWRN_HIT_MARKER;
  return cutShort ? "premature end of data; the missing part shows grey" : err.warningText;
}

// Calls the codec's OnBusy from inside the library's long calls. The library
// reaches this struct through cinfo.progress, so jpeg_progress_mgr comes first.
struct BusyMonitor {
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  jpeg_progress_mgr pub;
  std::function<void()> onBusy;
  std::chrono::steady_clock::duration interval;
  Clock clock;
  std::chrono::steady_clock::time_point last;
  std::exception_ptr error;  // the first exception of onBusy; it is not called again

  BusyMonitor(const std::function<void()>& busy, std::chrono::steady_clock::duration every, const Clock& now)
      : pub(), onBusy(busy), interval(every), clock(now ? now : Clock(std::chrono::steady_clock::now)), last(clock()) {}
  BusyMonitor(const BusyMonitor&) = delete;
  BusyMonitor& operator=(const BusyMonitor&) = delete;
};

// Runs inside the library, so nothing may leave it by an exception.
extern "C" void OnProgressMonitor(j_common_ptr cinfo) {
  auto* m = reinterpret_cast<BusyMonitor*>(cinfo->progress);
  if (m->error) return;
  const auto now = m->clock();
  if (now - m->last < m->interval) return;
  m->last = now;
  try {
    m->onBusy();
  } catch (...) {
    m->error = std::current_exception();
  }
}

// Hands the monitor to the library when there is someone to call.
void AttachMonitor(j_common_ptr cinfo, BusyMonitor* monitor) {
  if (monitor == nullptr || !monitor->onBusy) return;
  monitor->pub.progress_monitor = OnProgressMonitor;
  cinfo->progress = &monitor->pub;
}

void RethrowBusyError(const BusyMonitor* monitor) {
  if (monitor != nullptr && monitor->error) std::rethrow_exception(monitor->error);
}

// Takes the warnings of one step of the reading into the codec's facts.
void NoteWarnings(const ErrorManager& err, int& warnings, std::string& damage) {
  warnings = err.warnings;
  if (damage.empty()) damage = DamageOf(err);
}

// "JPEG error #<code>: <the library's words>".
[[noreturn]] void ThrowJpegError(int code, const char* text) {
  std::string message = "JPEG error #" + std::to_string(code);
  if (text != nullptr && *text != '\0') message += std::string(": ") + text;
  throw Error(message);
}

[[noreturn]] void ThrowJpegError(const ErrorManager& err) { ThrowJpegError(err.code, err.text); }

// The library's words for an error it would raise with one number as parameter.
std::string LibraryText(int code, unsigned parameter) {
  jpeg_error_mgr mgr;
  jpeg_std_error(&mgr);
  mgr.msg_code = code;
  mgr.msg_parm.i[0] = static_cast<int>(parameter);
  jpeg_common_struct common{};
  common.err = &mgr;
  char text[JMSG_LENGTH_MAX];
  (*mgr.format_message)(&common, text);
  return text;
}

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
  BusyMonitor* monitor = nullptr;
  Encoder() = default;
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  ~Encoder() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

// Reads the header, the APP1 segments (EXIF) and the APP2 segments (ICC
// profile). False after a library error.
bool ReadHeader(Decoder* d, std::FILE* file) {
  InitErrorManager(d->err);
  d->cinfo.err = &d->err.pub;
  if (setjmp(d->err.jump)) return false;
  jpeg_create_decompress(&d->cinfo);
  d->created = true;
  jpeg_stdio_src(&d->cinfo, file);
  jpeg_save_markers(&d->cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_save_markers(&d->cinfo, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(&d->cinfo, TRUE);
  return true;
}

// Whether the file whose header d read holds several scans. False after a library error.
bool HasMultipleScans(Decoder* d, bool* multiple) {
  if (setjmp(d->err.jump)) return false;
  *multiple = jpeg_has_multiple_scans(&d->cinfo) != 0;
  return true;
}

// The ICC profile of the APP2 segments whose header d read, into icc
// (empty without one; a profile whose segments do not add up is dropped).
// False after a library error.
bool ReadIccProfile(Decoder* d, std::string* icc) {
  if (setjmp(d->err.jump)) return false;
  JOCTET* data = nullptr;
  unsigned int size = 0;
  if (jpeg_read_icc_profile(&d->cinfo, &data, &size)) icc->assign(reinterpret_cast<const char*>(data), size);
  std::free(data);
  return true;
}

// CMYK and YCCK files are decoded as the four inks and turned into RGB by
// CmykConversion; the library turns YCCK into CMYK itself.
bool IsCmyk(const jpeg_decompress_struct& c) {
  return c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
}

// Adobe applications store CMYK inverted (255 is no ink) and mark their
// files with an APP14 "Adobe" segment; files are read that way when they
// carry it, as every other reader does.
bool IsInvertedCmyk(const jpeg_decompress_struct& c) { return c.saw_Adobe_marker != 0; }

// Chooses the output colours and starts decompression. False after a library error.
bool StartDecoding(Decoder* d, bool grey, bool* progressive) {
  if (setjmp(d->err.jump)) return false;
  jpeg_decompress_struct& c = d->cinfo;
  *progressive = jpeg_has_multiple_scans(&c) != 0;
  if (IsCmyk(c)) {
    c.out_color_space = JCS_CMYK;
  } else if (grey || c.num_components == 1) {
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

// Turns the grey palette indices at the start of row (width of them) into
// RGB greys through the library's colour map, from the right so that the
// indices are read before their bytes are overwritten.
void ExpandGrey(const jpeg_decompress_struct& c, std::uint8_t* row, int width) {
  const JSAMPLE* map = c.colormap[0];
  for (int x = width - 1; x >= 0; --x) {
    const std::uint8_t grey = map[row[x]];
    row[3 * x] = grey;
    row[3 * x + 1] = grey;
    row[3 * x + 2] = grey;
  }
}

// Decodes up to count next rows into rows, as many as *read then says. False
// after a library error.
bool ReadScanlines(Decoder* d, std::uint8_t* const* rows, int count, int* read) {
  if (setjmp(d->err.jump)) return false;
  jpeg_decompress_struct& c = d->cinfo;
  while (*read < count && c.output_scanline < c.output_height) {
    JSAMPARRAY next = const_cast<JSAMPARRAY>(rows + *read);
    const JDIMENSION got = jpeg_read_scanlines(&c, next, static_cast<JDIMENSION>(count - *read));
    if (got == 0) break;  // only a suspending source returns 0
    *read += static_cast<int>(got);
  }
  return true;
}

// Decodes and drops the rows left, through row (room for one output row),
// and ends decompression. False after a library error.
bool FinishDecoding(Decoder* d, std::uint8_t* row) {
  if (setjmp(d->err.jump)) return false;
  jpeg_decompress_struct& c = d->cinfo;
  while (c.output_scanline < c.output_height) {
    JSAMPROW target = row;
    if (jpeg_read_scanlines(&c, &target, 1) != 1) break;
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
  AttachMonitor(reinterpret_cast<j_common_ptr>(&c), e->monitor);
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
  if (width < 1 || height < 1) ThrowJpegError(JERR_EMPTY_IMAGE, LibraryText(JERR_EMPTY_IMAGE, 0).c_str());
  if (width > kJpegMaxDimension || height > kJpegMaxDimension)
    ThrowJpegError(JERR_IMAGE_TOO_BIG, LibraryText(JERR_IMAGE_TOO_BIG, JPEG_MAX_DIMENSION).c_str());
}

// The file being read row by row and its decoder, which is destroyed before
// the file is closed.
struct JpegCodec::Reading {
  std::unique_ptr<std::FILE, FileCloser> file;
  Decoder decoder;
  std::unique_ptr<BusyMonitor> monitor;  // while OnBusy is set
  std::unique_ptr<CmykConversion> cmyk;  // while a CMYK file is decoded
  std::vector<std::uint8_t> inks;        // one row of CMYK, for cmyk
};

JpegCodec::JpegCodec() = default;
JpegCodec::~JpegCodec() = default;

void JpegCodec::ForgetLoadedFile() {
  reading_.reset();
  ResetFacts();
}

std::unique_ptr<JpegCodec::Reading> JpegCodec::OpenHeader(const std::string& path) {
  reading_.reset();
  ResetFacts();
  components_ = 0;
  warnings_ = 0;
  damage_.clear();
  auto reading = std::make_unique<Reading>();
  reading->file.reset(std::fopen(path.c_str(), "rbe"));
  if (!reading->file) ThrowCannotOpenFile(path, errno);
  Decoder& d = reading->decoder;
  const bool header = ReadHeader(&d, reading->file.get());
  NoteWarnings(d.err, warnings_, damage_);
  if (!header) ThrowJpegError(d.err);
  // Checked before the library or we take any memory for the pixels.
  CheckPixelLimit(d.cinfo.image_width, d.cinfo.image_height);
  components_ = d.cinfo.num_components;
  orientation_ = FindOrientation(d.cinfo);
  if (!ReadIccProfile(&d, &colour_.Icc)) ThrowJpegError(d.err);
  return reading;
}

void JpegCodec::Inspect(const std::string& path) {
  const std::unique_ptr<Reading> reading = OpenHeader(path);
  const jpeg_decompress_struct& c = reading->decoder.cinfo;
  // Decoding at full size gives rows of the declared size.
  storedWidth_ = static_cast<int>(c.image_width);
  storedHeight_ = static_cast<int>(c.image_height);
  if (!HasMultipleScans(&reading->decoder, &progressive_)) ThrowJpegError(reading->decoder.err);
}

void JpegCodec::Start(const std::string& path) {
  std::unique_ptr<Reading> reading = OpenHeader(path);
  Decoder& d = reading->decoder;
  if (OnBusy) {
    reading->monitor = std::make_unique<BusyMonitor>(OnBusy, BusyInterval, BusyClock);
    AttachMonitor(reinterpret_cast<j_common_ptr>(&d.cinfo), reading->monitor.get());
  }
  // A progressive file is read whole here, before its first row comes out.
  const bool started = StartDecoding(&d, Grayscale, &progressive_);
  NoteWarnings(d.err, warnings_, damage_);
  if (!started) ThrowJpegError(d.err);
  RethrowBusyError(reading->monitor.get());
  storedWidth_ = static_cast<int>(d.cinfo.output_width);
  storedHeight_ = static_cast<int>(d.cinfo.output_height);
  greyPixels_ = d.cinfo.quantize_colors != 0 || Grayscale;
  // Room for one row as the library hands it out: up to four samples a pixel.
  const std::size_t rowBytes = static_cast<std::size_t>(storedWidth_) * 4;
  if (row_.size() < rowBytes) row_.resize(rowBytes);
  if (IsCmyk(d.cinfo)) StartCmyk(*reading);
  reading_ = std::move(reading);
}

void JpegCodec::Probe(const std::string& path) {
  Start(path);
  reading_.reset();
}

void JpegCodec::StartCmyk(Reading& reading) {
  const jpeg_decompress_struct& c = reading.decoder.cinfo;
  reading.cmyk = std::make_unique<CmykConversion>(colour_.Icc, IsInvertedCmyk(c));
  reading.inks.resize(static_cast<std::size_t>(c.output_width) * 4);
  profileIgnored_ = reading.cmyk->Damaged();
  // The rows come out in sRGB: nothing is left to convert.
  colour_ = ColourDescription{};
}

bool JpegCodec::ReadCmykRows(std::uint8_t* const* rows, int count, int& read) {
  Reading& r = *reading_;
  for (; read < count; ++read) {
    std::uint8_t* inks = r.inks.data();
    int got = 0;
    if (!ReadScanlines(&r.decoder, &inks, 1, &got)) return false;
    if (got == 0) break;
    r.cmyk->ToRgb(inks, rows[read], storedWidth_);
    if (Grayscale) MakeRowGrey(rows[read], storedWidth_);
  }
  return true;
}

int JpegCodec::ReadRows(std::uint8_t* const* rows, int count) {
  if (!reading_ || count <= 0) return 0;
  Decoder& d = reading_->decoder;
  int read = 0;
  const bool done = reading_->cmyk ? ReadCmykRows(rows, count, read) : ReadScanlines(&d, rows, count, &read);
  NoteWarnings(d.err, warnings_, damage_);
  if (!done) {
    const std::unique_ptr<Reading> failed = std::move(reading_);
    ThrowJpegError(failed->decoder.err);
  }
  if (reading_->monitor && reading_->monitor->error) {
    const std::exception_ptr error = reading_->monitor->error;
    reading_.reset();
    std::rethrow_exception(error);
  }
  if (d.cinfo.quantize_colors)
    for (int i = 0; i < read; ++i) ExpandGrey(d.cinfo, rows[i], storedWidth_);
  rowsRead_ += read;
  return read;
}

void JpegCodec::FinishReading() {
  if (!reading_) return;
  Decoder& d = reading_->decoder;
  const bool done = FinishDecoding(&d, row_.data());
  NoteWarnings(d.err, warnings_, damage_);
  const std::unique_ptr<Reading> reading = std::move(reading_);
  if (!done) ThrowJpegError(reading->decoder.err);
  RethrowBusyError(reading->monitor.get());
}

void JpegCodec::Encode(const Image& image, std::string& jpeg) {
  CheckEncodableSize(image.width(), image.height());
  Encoder e;
  std::unique_ptr<BusyMonitor> monitor;
  if (OnBusy) monitor = std::make_unique<BusyMonitor>(OnBusy, BusyInterval, BusyClock);
  e.monitor = monitor.get();
  const bool done = Compress(&e, &image, Quality, Grayscale, progressive_);
  warnings_ = e.err.warnings;
  if (!done) ThrowJpegError(e.err);
  RethrowBusyError(monitor.get());
  jpeg.assign(reinterpret_cast<const char*>(e.buffer), e.size);
}

int JpegLibraryVersion() {
#ifdef LIBJPEG_TURBO_VERSION_NUMBER
  return LIBJPEG_TURBO_VERSION_NUMBER;
#else
  return JPEG_LIB_VERSION;
#endif
}

}  // namespace fotoloom
