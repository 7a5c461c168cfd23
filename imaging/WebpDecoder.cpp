// The WebP decoder over libwebp and its demuxer: the only file that talks to the library.
#include "imaging/WebpDecoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/Error.h"
#include "core/PosixIo.h"
#include "imaging/Orientation.h"

namespace fotoloom {

namespace {

// The largest file read: a WebP file holds at most 4 GiB, but no picture
// within the pixel limit needs a quarter of that.
constexpr std::int64_t kMaxFileBytes = std::int64_t{1} << 30;
// Bytes handed to the library at a time, between calls of OnBusy: a few
// milliseconds of decoding.
constexpr std::size_t kSliceBytes = std::size_t{64} << 10;
// Enough of the start of a file for its size.
constexpr std::size_t kHeaderBytes = std::size_t{64} << 10;

// Up to limit bytes of the file at path.
std::string ReadStart(const std::string& path, std::size_t limit) {
  const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) ThrowCannotOpenFile(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) ThrowCannotOpenFile(path, errno);
  if (st.st_size > kMaxFileBytes) ThrowCannotDecode(path, "WebP", "the file is larger than 1 GiB");
  std::string bytes(std::min<std::size_t>(limit, static_cast<std::size_t>(std::max<off_t>(st.st_size, 0))), '\0');
  const ssize_t done = ReadAll(fd.get(), bytes.data(), bytes.size());
  if (done < 0) ThrowCannotOpenFile(path, errno);
  bytes.resize(static_cast<std::size_t>(done));
  return bytes;
}

std::string StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: return "out of memory";
    case VP8_STATUS_INVALID_PARAM: return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR: return "the image data is damaged";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "a feature this decoder does not support";
    case VP8_STATUS_NOT_ENOUGH_DATA: return "the file ends early";
    default: return "the image data cannot be decoded";
  }
}

struct DemuxDeleter {
  void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};

struct IncrementalDeleter {
  void operator()(WebPIDecoder* d) const { WebPIDelete(d); }
};

// Frees the library's output buffer on every path.
struct DecodedBuffer {
  WebPDecoderConfig config{};
  ~DecodedBuffer() { WebPFreeDecBuffer(&config.output); }
};

// The EXIF orientation of an EXIF chunk, which holds the TIFF data with or
// without the "Exif\0\0" a JPEG puts before it.
int OrientationOf(const WebPChunkIterator& chunk) {
  const std::uint8_t* data = chunk.chunk.bytes;
  const std::size_t size = chunk.chunk.size;
  if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) return ReadExifOrientation(data, size);
  std::vector<std::uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
  app1.insert(app1.end(), data, data + size);
  return ReadExifOrientation(app1.data(), app1.size());
}

}  // namespace

struct WebpDecoder::Picture {
  DecodedBuffer decoded;
  std::vector<std::uint8_t> canvas;    // when the frame does not cover the canvas
  const std::uint8_t* rows = nullptr;  // the first row of the canvas
  std::size_t stride = 0;
  int channels = 3;
};

WebpDecoder::WebpDecoder() = default;
WebpDecoder::~WebpDecoder() = default;

// The file's bytes and its demuxer, which refers to them.
struct WebpDecoder::Container {
  std::string file;
  std::unique_ptr<WebPDemuxer, DemuxDeleter> demux;
};

void WebpDecoder::Open(const std::string& path, Container& c) {
  picture_.reset();
  ResetFacts();
  // The header alone first: a file declaring too many pixels is not read.
  const std::string head = ReadStart(path, kHeaderBytes);
  WebPBitstreamFeatures features;
  const VP8StatusCode status =
      WebPGetFeatures(reinterpret_cast<const std::uint8_t*>(head.data()), head.size(), &features);
  if (status != VP8_STATUS_OK) ThrowCannotDecode(path, "WebP", StatusText(status));
  CheckPixelLimit(features.width, features.height);
  c.file = ReadStart(path, static_cast<std::size_t>(kMaxFileBytes));
  const WebPData data{reinterpret_cast<const std::uint8_t*>(c.file.data()), c.file.size()};
  c.demux.reset(WebPDemux(&data));
  if (!c.demux) ThrowCannotDecode(path, "WebP", "the file is damaged or not a WebP file");
  const int canvasWidth = static_cast<int>(WebPDemuxGetI(c.demux.get(), WEBP_FF_CANVAS_WIDTH));
  const int canvasHeight = static_cast<int>(WebPDemuxGetI(c.demux.get(), WEBP_FF_CANVAS_HEIGHT));
  CheckPixelLimit(canvasWidth, canvasHeight);
  storedWidth_ = canvasWidth;
  storedHeight_ = canvasHeight;
  greyPixels_ = Grayscale;
  const std::uint32_t flags = WebPDemuxGetI(c.demux.get(), WEBP_FF_FORMAT_FLAGS);
  WebPChunkIterator chunk;
  if ((flags & ICCP_FLAG) && WebPDemuxGetChunk(c.demux.get(), "ICCP", 1, &chunk)) {
    colour_.Icc.assign(reinterpret_cast<const char*>(chunk.chunk.bytes), chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
  }
  if ((flags & EXIF_FLAG) && WebPDemuxGetChunk(c.demux.get(), "EXIF", 1, &chunk)) {
    orientation_ = OrientationOf(chunk);
    WebPDemuxReleaseChunkIterator(&chunk);
  }
}

void WebpDecoder::Inspect(const std::string& path) {
  Container c;
  Open(path, c);
}

void WebpDecoder::Start(const std::string& path) {
  Container c;
  Open(path, c);
  const int canvasWidth = storedWidth_;
  const int canvasHeight = storedHeight_;
  WebPIterator frame;
  if (!WebPDemuxGetFrame(c.demux.get(), 1, &frame)) ThrowCannotDecode(path, "WebP", "the file holds no picture");
  const WebPData fragment = frame.fragment;
  const int frameX = frame.x_offset;
  const int frameY = frame.y_offset;
  const bool alpha = frame.has_alpha != 0;
  WebPDemuxReleaseIterator(&frame);

  auto picture = std::make_unique<Picture>();
  WebPDecoderConfig& config = picture->decoded.config;
  if (!WebPInitDecoderConfig(&config)) ThrowCannotDecode(path, "WebP", "library version mismatch");
  config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
  {
    const std::unique_ptr<WebPIDecoder, IncrementalDeleter> decoder(WebPIDecode(nullptr, 0, &config));
    if (!decoder) ThrowCannotDecode(path, "WebP", "out of memory");
    VP8StatusCode status = VP8_STATUS_SUSPENDED;
    for (std::size_t at = 0; at < fragment.size && status == VP8_STATUS_SUSPENDED; at += kSliceBytes) {
      Busy();
      status = WebPIAppend(decoder.get(), fragment.bytes + at, std::min(kSliceBytes, fragment.size - at));
    }
    if (status == VP8_STATUS_SUSPENDED) status = VP8_STATUS_NOT_ENOUGH_DATA;
    if (status != VP8_STATUS_OK) ThrowCannotDecode(path, "WebP", StatusText(status));
  }

  const WebPRGBABuffer& out = config.output.u.RGBA;
  const int frameWidth = config.output.width;
  const int frameHeight = config.output.height;
  picture->channels = alpha ? 4 : 3;
  picture->rows = out.rgba;
  picture->stride = static_cast<std::size_t>(out.stride);
  // A frame that does not cover its canvas (the first frame of an
  // animation may not) is laid on a transparent canvas.
  if (frameX != 0 || frameY != 0 || frameWidth != canvasWidth || frameHeight != canvasHeight) {
    const std::size_t rowBytes = static_cast<std::size_t>(canvasWidth) * 4;
    picture->canvas.assign(rowBytes * static_cast<std::size_t>(canvasHeight), 0);
    const int width = std::max(0, std::min(frameWidth, canvasWidth - frameX));
    for (int y = 0; y < frameHeight && y + frameY < canvasHeight; ++y) {
      const std::uint8_t* src = out.rgba + static_cast<std::size_t>(y) * picture->stride;
      std::uint8_t* dst = picture->canvas.data() + static_cast<std::size_t>(y + frameY) * rowBytes;
      for (int x = 0; x < width; ++x) {
        std::uint8_t* d = dst + static_cast<std::size_t>(x + frameX) * 4;
        const std::uint8_t* p = src + static_cast<std::size_t>(x) * static_cast<std::size_t>(picture->channels);
        d[0] = p[0];
        d[1] = p[1];
        d[2] = p[2];
        d[3] = alpha ? p[3] : 255;
      }
    }
    WebPFreeDecBuffer(&config.output);
    picture->rows = picture->canvas.data();
    picture->stride = rowBytes;
    picture->channels = 4;
  }
  picture_ = std::move(picture);
}

int WebpDecoder::ReadRows(std::uint8_t* const* rows, int count) {
  if (!picture_ || count <= 0) return 0;
  int read = 0;
  for (; read < count && rowsRead_ < storedHeight_; ++read, ++rowsRead_)
    FinishRow(picture_->rows + picture_->stride * static_cast<std::size_t>(rowsRead_), picture_->channels, rows[read],
              storedWidth_);
  return read;
}

void WebpDecoder::FinishReading() { picture_.reset(); }

}  // namespace fotoloom
