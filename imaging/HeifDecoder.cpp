// The HEIF decoder over libheif: the only file that talks to the library.
#include "imaging/HeifDecoder.h"

#include <fcntl.h>
#include <libheif/heif.h>

#include <cerrno>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

#include "core/Error.h"
#include "core/PosixIo.h"

namespace fotoloom {

namespace {

struct ContextDeleter {
  void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
  void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
  void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
struct NclxDeleter {
  void operator()(heif_color_profile_nclx* n) const { heif_nclx_color_profile_free(n); }
};

// The library's start-up, once per process; it is never shut down.
void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { heif_init(nullptr); });
}

// The part of the library's message after its category ("Unsupported
// feature: Unsupported codec" says both).
std::string ReasonOf(const heif_error& e) {
  return e.message != nullptr && *e.message != '\0' ? e.message : "the file cannot be decoded";
}

// Whether the file can be opened, with the system's reason when not: the
// library's own message for a missing file says nothing of why.
void CheckReadable(const std::string& path) {
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) ThrowCannotOpenFile(path, errno);
}

// What the library's progress calls reach: the decoder's Busy, and the first
// exception it raised, which must not pass through the library.
struct ProgressSink {
  std::function<void()> busy;
  std::exception_ptr error;
};

extern "C" void OnHeifProgress(heif_progress_step, int, void* data) {
  auto* sink = static_cast<ProgressSink*>(data);
  if (sink->error) return;
  try {
    sink->busy();
  } catch (...) {
    sink->error = std::current_exception();
  }
}

// 8-bit luma and chroma planes as the codec gives them, turned into RGB a
// row at a time: the picture is held at 1.5 bytes a pixel (4:2:0) instead
// of 3, and the library's own conversion, which holds both at once, is not
// needed. The chroma of a pixel is the sample covering it.
struct YCbCrPlanes {
  const std::uint8_t* y = nullptr;
  const std::uint8_t* cb = nullptr;  // null: grey
  const std::uint8_t* cr = nullptr;
  int yStride = 0;
  int cbStride = 0;
  int crStride = 0;
  int shiftX = 0;  // chroma subsampling: 1 halves
  int shiftY = 0;
  bool fullRange = true;
  // Fixed-point factors (kFraction bits) of Cr in red and green, Cb in green and blue.
  int crRed = 0, crGreen = 0, cbGreen = 0, cbBlue = 0;

  static constexpr int kFraction = 16;

  // Factors of the matrix of an H.273 matrix coefficients code; BT.601 for
  // codes it does not name (2, unspecified, among them), as the library does.
  void SetMatrix(int code) {
    double kr = 0.299;
    double kb = 0.114;
    if (code == 1) kr = 0.2126, kb = 0.0722;
    if (code == 9 || code == 10) kr = 0.2627, kb = 0.0593;
    if (code == 7) kr = 0.212, kb = 0.087;
    const double kg = 1.0 - kr - kb;
    const double one = 1 << kFraction;
    crRed = static_cast<int>(2 * (1 - kr) * one + 0.5);
    cbBlue = static_cast<int>(2 * (1 - kb) * one + 0.5);
    crGreen = static_cast<int>(2 * kr * (1 - kr) / kg * one + 0.5);
    cbGreen = static_cast<int>(2 * kb * (1 - kb) / kg * one + 0.5);
  }

  void Row(int row, std::uint8_t* out, int width) const {
    const std::uint8_t* ys = y + static_cast<std::size_t>(row) * static_cast<std::size_t>(yStride);
    const auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    const int half = 1 << (kFraction - 1);
    if (cb == nullptr) {
      for (int x = 0; x < width; ++x) {
        const int l = fullRange ? ys[x] : ((ys[x] - 16) * 255 * 2 + 219) / (2 * 219);
        out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = clamp(l);
      }
      return;
    }
    const std::uint8_t* cbs = cb + static_cast<std::size_t>(row >> shiftY) * static_cast<std::size_t>(cbStride);
    const std::uint8_t* crs = cr + static_cast<std::size_t>(row >> shiftY) * static_cast<std::size_t>(crStride);
    for (int x = 0; x < width; ++x) {
      int l = ys[x] << kFraction;
      int u = cbs[x >> shiftX] - 128;
      int v = crs[x >> shiftX] - 128;
      if (!fullRange) {
        // Video range: luma 16..235, chroma 16..240 around 128.
        l = ((ys[x] - 16) << kFraction) / 219 * 255;
        u = u * 255 / 224;
        v = v * 255 / 224;
      }
      out[3 * x] = clamp((l + crRed * v + half) >> kFraction);
      out[3 * x + 1] = clamp((l - crGreen * v - cbGreen * u + half) >> kFraction);
      out[3 * x + 2] = clamp((l + cbBlue * u + half) >> kFraction);
    }
  }
};

// The planes of a decoded 8-bit YCbCr or grey picture, and its matrix;
// false for any other kind, which the library turns into RGB itself.
bool PlanesOf(const heif_image* image, YCbCrPlanes& p) {
  const heif_colorspace space = heif_image_get_colorspace(image);
  const heif_chroma chroma = heif_image_get_chroma_format(image);
  if (heif_image_get_bits_per_pixel_range(image, heif_channel_Y) != 8) return false;
  p.y = heif_image_get_plane_readonly(image, heif_channel_Y, &p.yStride);
  if (p.y == nullptr) return false;
  if (space == heif_colorspace_monochrome && chroma == heif_chroma_monochrome) return true;
  if (space != heif_colorspace_YCbCr) return false;
  switch (chroma) {
    case heif_chroma_420: p.shiftX = p.shiftY = 1; break;
    case heif_chroma_422: p.shiftX = 1; break;
    case heif_chroma_444: break;
    default: return false;
  }
  if (heif_image_get_bits_per_pixel_range(image, heif_channel_Cb) != 8 ||
      heif_image_get_bits_per_pixel_range(image, heif_channel_Cr) != 8)
    return false;
  p.cb = heif_image_get_plane_readonly(image, heif_channel_Cb, &p.cbStride);
  p.cr = heif_image_get_plane_readonly(image, heif_channel_Cr, &p.crStride);
  if (p.cb == nullptr || p.cr == nullptr) return false;
  int matrix = 6;
  heif_color_profile_nclx* nclx = nullptr;
  const heif_error got = heif_image_get_nclx_color_profile(image, &nclx);
  const std::unique_ptr<heif_color_profile_nclx, NclxDeleter> owned(nclx);
  if (got.code == heif_error_Ok && nclx != nullptr) {
    matrix = nclx->matrix_coefficients;
    p.fullRange = nclx->full_range_flag != 0;
  }
  // No matrix (RGB coded as such) and the ones of other kinds go the library's way.
  if (matrix == 0 || matrix == 8 || matrix >= 11) return false;
  p.SetMatrix(matrix);
  return true;
}

}  // namespace

struct HeifDecoder::Reading {
  std::unique_ptr<heif_context, ContextDeleter> context;
  std::unique_ptr<heif_image_handle, HandleDeleter> handle;
  std::unique_ptr<heif_image, ImageDeleter> image;
  bool planar = false;  // planes holds the picture
  YCbCrPlanes planes;
  const std::uint8_t* plane = nullptr;
  int stride = 0;
  int channels = 3;               // samples a pixel: 3 or 4 (alpha)
  int bits = 8;                   // of each sample; more than 8 come as 16-bit words
  std::vector<std::uint8_t> row;  // one row brought to 8 bits
  ProgressSink progress;
};

HeifDecoder::HeifDecoder() { InitLibrary(); }
HeifDecoder::~HeifDecoder() = default;

namespace {

// Reads the HEIF file at path into context and gives the handle of its
// primary image; raises "Cannot read "<path>" as HEIF: <reason>".
void OpenPrimaryImage(const std::string& path, std::unique_ptr<heif_context, ContextDeleter>& context,
                      std::unique_ptr<heif_image_handle, HandleDeleter>& handle) {
  context.reset(heif_context_alloc());
  if (!context) throw Error("Out of memory");
  heif_error e = heif_context_read_from_file(context.get(), path.c_str(), nullptr);
  if (e.code != heif_error_Ok) ThrowCannotDecode(path, "HEIF", ReasonOf(e));
  heif_image_handle* raw = nullptr;
  e = heif_context_get_primary_image_handle(context.get(), &raw);
  if (e.code != heif_error_Ok) ThrowCannotDecode(path, "HEIF", ReasonOf(e));
  handle.reset(raw);
}

// The first metadata block of the type (and, for "mime", the content type)
// given, or "" when there is none or it is too large to be metadata.
std::string MetadataBlock(const heif_image_handle* handle, const char* type, std::string_view contentType) {
  const int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
  if (count < 1) return std::string();
  std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
  heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
  for (const heif_item_id id : ids) {
    if (!contentType.empty() && heif_image_handle_get_metadata_content_type(handle, id) != contentType) continue;
    const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size == 0 || size > (std::size_t{16} << 20)) return std::string();
    std::string block(size, '\0');
    if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok) return std::string();
    return block;
  }
  return std::string();
}

}  // namespace

HeifMetadata ReadHeifMetadata(const std::string& path) {
  InitLibrary();
  CheckReadable(path);
  std::unique_ptr<heif_context, ContextDeleter> context;
  std::unique_ptr<heif_image_handle, HandleDeleter> handle;
  OpenPrimaryImage(path, context, handle);
  HeifMetadata found;
  // The EXIF block opens with the big-endian offset of its TIFF header.
  const std::string exif = MetadataBlock(handle.get(), "Exif", {});
  if (exif.size() >= 4) {
    const std::uint32_t offset = (std::uint32_t(std::uint8_t(exif[0])) << 24) |
                                 (std::uint32_t(std::uint8_t(exif[1])) << 16) |
                                 (std::uint32_t(std::uint8_t(exif[2])) << 8) | std::uint32_t(std::uint8_t(exif[3]));
    if (offset <= exif.size() - 4) found.Exif = exif.substr(4 + offset);
  }
  found.Xmp = MetadataBlock(handle.get(), "mime", "application/rdf+xml");
  return found;
}

std::unique_ptr<HeifDecoder::Reading> HeifDecoder::Open(const std::string& path) {
  reading_.reset();
  ResetFacts();
  CheckReadable(path);
  auto r = std::make_unique<Reading>();
  OpenPrimaryImage(path, r->context, r->handle);
  heif_image_handle* handle = r->handle.get();
  // The size with the container's rotation applied.
  const int width = heif_image_handle_get_width(handle);
  const int height = heif_image_handle_get_height(handle);
  if (width < 1 || height < 1) ThrowCannotDecode(path, "HEIF", "the image has no pixels");
  CheckPixelLimit(width, height);
  storedWidth_ = width;
  storedHeight_ = height;
  r->channels = heif_image_handle_has_alpha_channel(handle) ? 4 : 3;
  r->bits = heif_image_handle_get_luma_bits_per_pixel(handle);
  greyPixels_ = Grayscale;

  if (const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle); size > 0) {
    std::string icc(size, '\0');
    if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code == heif_error_Ok) colour_.Icc = std::move(icc);
  }
  if (colour_.Icc.empty()) {
    heif_color_profile_nclx* nclx = nullptr;
    const heif_error got = heif_image_handle_get_nclx_color_profile(handle, &nclx);
    // The library may hand out a description with its error: it is ours either way.
    const std::unique_ptr<heif_color_profile_nclx, NclxDeleter> owned(nclx);
    if (got.code == heif_error_Ok && nclx != nullptr) {
      colour_.Primaries = nclx->color_primaries;
      colour_.Transfer = nclx->transfer_characteristics;
    }
  }
  return r;
}

void HeifDecoder::Inspect(const std::string& path) { Open(path); }

void HeifDecoder::Start(const std::string& path) {
  std::unique_ptr<Reading> r = Open(path);
  const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
  if (!options) throw Error("Out of memory");
  r->progress.busy = [this] { Busy(); };
  options->progress_user_data = &r->progress;
  options->on_progress = OnHeifProgress;
  const bool deep = r->bits > 8;
  const heif_chroma chroma =
      deep ? (r->channels == 4 ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
           : (r->channels == 4 ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  const auto decode = [&](heif_colorspace space, heif_chroma wanted) {
    Busy();
    heif_image* image = nullptr;
    const heif_error e = heif_decode_image(r->handle.get(), &image, space, wanted, options.get());
    r->image.reset(image);
    if (r->progress.error) std::rethrow_exception(r->progress.error);
    if (e.code != heif_error_Ok || image == nullptr) ThrowCannotDecode(path, "HEIF", ReasonOf(e));
    Busy();
  };
  // Opaque 8-bit pictures, nearly every photo, are taken as 4:2:0 planes,
  // as cameras and phones code them, and turned into RGB row by row. A file
  // of finer chroma loses it here, which no image made from it shows: the
  // scaled images are far smaller, and every JPEG written is 4:2:0 itself.
  if (!deep && r->channels == 3) {
    decode(heif_colorspace_YCbCr, heif_chroma_420);
    r->planar = PlanesOf(r->image.get(), r->planes);
    // Anything else is decoded again, by the library into RGB; the first
    // picture goes before the second is made.
    if (!r->planar) r->image.reset();
    if (r->planar) {
      greyPixels_ = Grayscale || r->planes.cb == nullptr;
      storedWidth_ = heif_image_get_width(r->image.get(), heif_channel_Y);
      storedHeight_ = heif_image_get_height(r->image.get(), heif_channel_Y);
      if (storedWidth_ < 1 || storedHeight_ < 1) ThrowCannotDecode(path, "HEIF", "the image has no pixels");
      reading_ = std::move(r);
      return;
    }
  }
  decode(heif_colorspace_RGB, chroma);
  heif_image* image = r->image.get();
  // The decoded size is the one to hand out; it equals the handle's for any sound file.
  const int width = heif_image_get_width(image, heif_channel_interleaved);
  const int height = heif_image_get_height(image, heif_channel_interleaved);
  r->plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &r->stride);
  if (r->plane == nullptr || width < 1 || height < 1) ThrowCannotDecode(path, "HEIF", "the image has no pixels");
  if (deep) {
    // The bits of the decoded samples, which may differ from the header's.
    r->bits = heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved);
    r->row.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(r->channels));
  }
  storedWidth_ = width;
  storedHeight_ = height;
  reading_ = std::move(r);
}

int HeifDecoder::ReadRows(std::uint8_t* const* rows, int count) {
  if (!reading_ || count <= 0) return 0;
  Reading& r = *reading_;
  const std::size_t samples = static_cast<std::size_t>(storedWidth_) * static_cast<std::size_t>(r.channels);
  int read = 0;
  for (; read < count && rowsRead_ < storedHeight_; ++read, ++rowsRead_) {
    if (r.planar) {
      r.planes.Row(rowsRead_, rows[read], storedWidth_);
      FinishRow(rows[read], 3, rows[read], storedWidth_);
      continue;
    }
    const std::uint8_t* source = r.plane + static_cast<std::size_t>(r.stride) * static_cast<std::size_t>(rowsRead_);
    if (r.bits > 8) {
      // Little-endian words of bits each, rounded to the nearest 8-bit value.
      const std::uint32_t top = (1u << r.bits) - 1;
      for (std::size_t i = 0; i < samples; ++i) {
        const std::uint32_t v = std::min<std::uint32_t>(source[2 * i] | (source[2 * i + 1] << 8), top);
        r.row[i] = static_cast<std::uint8_t>((v * 255 + top / 2) / top);
      }
      source = r.row.data();
    }
    FinishRow(source, r.channels, rows[read], storedWidth_);
  }
  return read;
}

void HeifDecoder::FinishReading() { reading_.reset(); }

}  // namespace fotoloom
