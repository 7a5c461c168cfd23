// The HEIF decoder over libheif: the only file that talks to the library.
#include "imaging/HeifDecoder.h"

#include <fcntl.h>
#include <libheif/heif.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

#include "core/Error.h"

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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowCannotOpenFile(path, errno);
  ::close(fd);
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

}  // namespace

struct HeifDecoder::Reading {
  std::unique_ptr<heif_context, ContextDeleter> context;
  std::unique_ptr<heif_image_handle, HandleDeleter> handle;
  std::unique_ptr<heif_image, ImageDeleter> image;
  const std::uint8_t* plane = nullptr;
  int stride = 0;
  int channels = 3;               // samples a pixel: 3 or 4 (alpha)
  int bits = 8;                   // of each sample; more than 8 come as 16-bit words
  std::vector<std::uint8_t> row;  // one row brought to 8 bits
  ProgressSink progress;
};

HeifDecoder::HeifDecoder() { InitLibrary(); }
HeifDecoder::~HeifDecoder() = default;

std::unique_ptr<HeifDecoder::Reading> HeifDecoder::Open(const std::string& path) {
  reading_.reset();
  ResetFacts();
  CheckReadable(path);
  auto r = std::make_unique<Reading>();
  r->context.reset(heif_context_alloc());
  if (!r->context) throw Error("Out of memory");
  heif_error e = heif_context_read_from_file(r->context.get(), path.c_str(), nullptr);
  if (e.code != heif_error_Ok) ThrowCannotDecode(path, "HEIF", ReasonOf(e));
  heif_image_handle* handle = nullptr;
  e = heif_context_get_primary_image_handle(r->context.get(), &handle);
  if (e.code != heif_error_Ok) ThrowCannotDecode(path, "HEIF", ReasonOf(e));
  r->handle.reset(handle);
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
  Busy();
  heif_image* image = nullptr;
  const heif_error e = heif_decode_image(r->handle.get(), &image, heif_colorspace_RGB, chroma, options.get());
  r->image.reset(image);
  if (r->progress.error) std::rethrow_exception(r->progress.error);
  if (e.code != heif_error_Ok || image == nullptr) ThrowCannotDecode(path, "HEIF", ReasonOf(e));
  Busy();
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
