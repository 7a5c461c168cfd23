// Test photos of the other formats written with their own libraries, and colour references from lcms2.
#include "PhotoFixtures.h"

#include <lcms2.h>
#include <libheif/heif.h>
#include <png.h>
#include <webp/encode.h>
#include <webp/mux.h>
#include <zlib.h>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

#include "support/TempDir.h"

namespace fotoloom::test {

namespace {

std::string Saved(cmsHPROFILE p) {
  // The size of a profile built from tags is known only by writing it.
  cmsUInt32Number size = cmsSaveProfileToIOhandler(p, nullptr);
  std::string bytes(size, '\0');
  cmsSaveProfileToMem(p, bytes.data(), &size);
  cmsCloseProfile(p);
  return bytes;
}

cmsHPROFILE RgbProfile(const cmsCIExyYTRIPLE& primaries, cmsToneCurve* curve) {
  const cmsCIExyY d65{0.3127, 0.3290, 1.0};
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE p = cmsCreateRGBProfile(&d65, &primaries, curves);
  cmsFreeToneCurve(curve);
  return p;
}

cmsToneCurve* SrgbCurve() {
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  return cmsBuildParametricToneCurve(nullptr, 4, srgb);
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

// The Lab colour that plain mixing gives CMYK inks (0..1), red, green and blue turned round.
int SampleRotatedCmyk(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  const double k = 1.0 - in[3] / 65535.0;
  double rgb[3];
  for (int i = 0; i < 3; ++i) rgb[i] = (1.0 - in[i] / 65535.0) * k;
  const double rotated[3] = {rgb[2], rgb[0], rgb[1]};
  cmsCIELab lab;
  cmsDoTransform(cargo, rotated, &lab, 1);
  cmsFloat2LabEncoded(out, &lab);
  return TRUE;
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test fixture failed: ") + what);
}

void CheckHeif(const heif_error& e) {
  if (e.code != heif_error_Ok) throw std::runtime_error(std::string("libheif: ") + e.message);
}

// The TIFF part of an EXIF block holding only the Orientation tag.
std::string ExifTiff(int orientation) { return ExifWithOrientation(orientation).substr(6); }

void AppendChunk(std::string& png, const char* type, const std::string& data) {
  auto u32 = [](std::uint32_t v) {
    return std::string{char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
  };
  png += u32(static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  png += body;
  png += u32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

std::string U32(std::uint32_t v) {
  return std::string{char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
}
std::string U16(std::uint32_t v) { return std::string{char((v >> 8) & 0xFF), char(v & 0xFF)}; }

// The frame control chunk's data of a frame covering a width x height canvas.
std::string FrameControl(std::uint32_t sequence, int width, int height) {
  return U32(sequence) + U32(std::uint32_t(width)) + U32(std::uint32_t(height)) + U32(0) + U32(0) + U16(1) + U16(10) +
         std::string(1, '\0') + std::string(1, '\0');
}

// Turns a still PNG into an animation of two frames: the still image
// first (its IDAT), then frame, an RGB image of the same size.
std::string WithSecondFrame(const std::string& still, const Image& frame) {
  std::string out = still.substr(0, 8);
  std::size_t at = 8;
  while (at + 8 <= still.size()) {
    const std::uint32_t length = (std::uint32_t(std::uint8_t(still[at])) << 24) |
                                 (std::uint32_t(std::uint8_t(still[at + 1])) << 16) |
                                 (std::uint32_t(std::uint8_t(still[at + 2])) << 8) | std::uint8_t(still[at + 3]);
    const std::string type = still.substr(at + 4, 4);
    const std::string chunk = still.substr(at, 12 + length);
    if (type == "IDAT" && out.find("fcTL") == std::string::npos) {
      AppendChunk(out, "fcTL", FrameControl(0, frame.width(), frame.height()));
    }
    if (type == "IEND") {
      AppendChunk(out, "fcTL", FrameControl(1, frame.width(), frame.height()));
      std::string raw;
      for (int y = 0; y < frame.height(); ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(frame.row(y)), frame.stride());
      }
      uLongf size = compressBound(uLong(raw.size()));
      std::string packed(size, '\0');
      compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
               uLong(raw.size()));
      packed.resize(size);
      AppendChunk(out, "fdAT", U32(2) + packed);
    }
    out += chunk;
    if (type == "IHDR") AppendChunk(out, "acTL", U32(2) + U32(0));
    at += 12 + length;
  }
  return out;
}

void WriteToString(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}
void NoFlush(png_structp) {}

}  // namespace

std::string SrgbProfile() { return Saved(cmsCreate_sRGBProfile()); }

std::string DisplayP3Profile() {
  return Saved(RgbProfile({{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}}, SrgbCurve()));
}

std::string AdobeRgbProfile() {
  return Saved(
      RgbProfile({{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}}, cmsBuildGamma(nullptr, 563.0 / 256)));
}

std::string GreyProfile(double gamma) {
  cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
  cmsHPROFILE p = cmsCreateGrayProfile(cmsD50_xyY(), curve);
  cmsFreeToneCurve(curve);
  return Saved(p);
}

std::string GreyProfileWithLiftedBlack() {
  std::vector<cmsUInt16Number> table(256);
  for (std::size_t i = 0; i < table.size(); ++i)
    table[i] = cmsUInt16Number(std::lround((0.1 + 0.9 * std::pow(double(i) / 255.0, 2.2)) * 65535.0));
  cmsToneCurve* curve = cmsBuildTabulatedToneCurve16(nullptr, cmsUInt32Number(table.size()), table.data());
  cmsHPROFILE p = cmsCreateGrayProfile(cmsD50_xyY(), curve);
  cmsFreeToneCurve(curve);
  return Saved(p);
}

std::string RotatedCmykProfile() {
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
  cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
  cmsHPROFILE p = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(p, 4.3);
  cmsSetDeviceClass(p, cmsSigOutputClass);
  cmsSetColorSpace(p, cmsSigCmykData);
  cmsSetPCS(p, cmsSigLabData);
  cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
  cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
  cmsStageSampleCLut16bit(grid, SampleRotatedCmyk, toLab, 0);
  // A lutAtoB of version 4 needs its curves, identities here.
  cmsPipelineInsertStage(lut, cmsAT_BEGIN, grid);
  cmsPipelineInsertStage(lut, cmsAT_BEGIN, cmsStageAllocToneCurves(nullptr, 4, nullptr));
  cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsWriteTag(p, cmsSigAToB0Tag, lut);
  cmsWriteTag(p, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  cmsPipelineFree(lut);
  cmsDeleteTransform(toLab);
  cmsCloseProfile(lab);
  cmsCloseProfile(srgb);
  return Saved(p);
}

namespace {

// One colour of the profile's space (in lcms2's floating-point units)
// converted into sRGB without optimisation, with the program's intent.
Rgb ExactlyToSrgb(const std::string& icc, const double* in, cmsUInt32Number (*format)(cmsHPROFILE)) {
  cmsHPROFILE source = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
  cmsHPROFILE target = cmsCreate_sRGBProfile();
  cmsHTRANSFORM t = cmsCreateTransform(source, format(source), target, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                                       cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
  double out[3] = {};
  cmsDoTransform(t, in, out, 1);
  cmsDeleteTransform(t);
  cmsCloseProfile(target);
  cmsCloseProfile(source);
  return {Byte(out[0]), Byte(out[1]), Byte(out[2])};
}

}  // namespace

Rgb ReferenceToSrgb(const std::string& icc, Rgb colour) {
  const double in[3] = {colour.r / 255.0, colour.g / 255.0, colour.b / 255.0};
  return ExactlyToSrgb(icc, in, [](cmsHPROFILE p) -> cmsUInt32Number {
    return cmsGetColorSpace(p) == cmsSigGrayData ? TYPE_GRAY_DBL : TYPE_RGB_DBL;
  });
}

std::vector<std::uint8_t> ReferenceRowToSrgb(const std::string& icc, const std::vector<std::uint8_t>& rgb) {
  std::vector<double> in(rgb.begin(), rgb.end());
  for (double& v : in) v /= 255.0;
  std::vector<double> out(in.size());
  cmsHPROFILE source = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
  cmsHPROFILE target = cmsCreate_sRGBProfile();
  cmsHTRANSFORM t = cmsCreateTransform(source, TYPE_RGB_DBL, target, TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC,
                                       cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE);
  cmsDoTransform(t, in.data(), out.data(), cmsUInt32Number(in.size() / 3));
  cmsDeleteTransform(t);
  cmsCloseProfile(target);
  cmsCloseProfile(source);
  std::vector<std::uint8_t> bytes(out.size());
  for (std::size_t i = 0; i < out.size(); ++i) bytes[i] = Byte(out[i]);
  return bytes;
}

Rgb ReferenceCmykToSrgb(const std::string& icc, std::array<std::uint8_t, 4> inks, bool inverted) {
  // lcms2 takes CMYK in per cent of ink.
  double in[4];
  for (int i = 0; i < 4; ++i) in[i] = (inverted ? 255 - inks[std::size_t(i)] : inks[std::size_t(i)]) / 255.0 * 100.0;
  return ExactlyToSrgb(icc, in, [](cmsHPROFILE) -> cmsUInt32Number { return TYPE_CMYK_DBL; });
}

Pixels FromImage(const Image& image) {
  return [&image](int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return Sample4{p[0], p[1], p[2], 255};
  };
}

std::string PngDeclaringSize(const std::string& png, std::uint32_t width, std::uint32_t height) {
  // Signature (8), IHDR length (4), then "IHDR", width and height, the rest
  // of its 13 data bytes and its checksum over type and data.
  constexpr std::size_t kType = 12, kData = 16, kCrc = 29;
  Check(png.size() > kCrc + 4 && png.compare(kType, 4, "IHDR") == 0, "a PNG starting with its header");
  std::string out = png;
  out.replace(kData, 8, U32(width) + U32(height));
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(out.data() + kType), uInt(kCrc - kType));
  out.replace(kCrc, 4, U32(static_cast<std::uint32_t>(crc)));
  return out;
}

void WritePng(const std::string& path, int width, int height, const Pixels& pixels, const PngOptions& options) {
  int colourType = PNG_COLOR_TYPE_RGB;
  int channels = 3;
  switch (options.kind) {
    case PngKind::Rgb: break;
    case PngKind::Rgba: colourType = PNG_COLOR_TYPE_RGB_ALPHA, channels = 4; break;
    case PngKind::Grey: colourType = PNG_COLOR_TYPE_GRAY, channels = 1; break;
    case PngKind::GreyAlpha: colourType = PNG_COLOR_TYPE_GRAY_ALPHA, channels = 2; break;
    case PngKind::Palette: colourType = PNG_COLOR_TYPE_PALETTE, channels = 1; break;
  }
  const int bytes = options.depth == 16 ? 2 : 1;
  std::vector<std::vector<png_byte>> rows(static_cast<std::size_t>(height));
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;
  std::map<std::uint32_t, int> indexOf;
  for (int y = 0; y < height; ++y) {
    auto& row = rows[std::size_t(y)];
    for (int x = 0; x < width; ++x) {
      const Sample4 s = pixels(x, y);
      std::vector<std::uint16_t> v;
      switch (options.kind) {
        case PngKind::Rgb: v = {s.r, s.g, s.b}; break;
        case PngKind::Rgba: v = {s.r, s.g, s.b, s.a}; break;
        case PngKind::Grey: v = {s.r}; break;
        case PngKind::GreyAlpha: v = {s.r, s.a}; break;
        case PngKind::Palette: {
          const std::uint32_t key = (std::uint32_t(s.r) << 24) | (std::uint32_t(s.g) << 16) | (s.b << 8) | s.a;
          auto it = indexOf.find(key);
          if (it == indexOf.end()) {
            it = indexOf.emplace(key, int(palette.size())).first;
            palette.push_back({png_byte(s.r), png_byte(s.g), png_byte(s.b)});
            paletteAlpha.push_back(png_byte(s.a));
          }
          v = {std::uint16_t(it->second)};
          break;
        }
      }
      for (std::uint16_t value : v) {
        if (bytes == 2) row.push_back(png_byte(value >> 8));
        row.push_back(png_byte(value & 0xFF));
      }
    }
  }
  (void)channels;
  std::string png;
  png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(p);
  Check(p != nullptr && info != nullptr, "png_create_write_struct");
  png_set_write_fn(p, &png, WriteToString, NoFlush);
  png_set_IHDR(p, info, png_uint_32(width), png_uint_32(height), options.depth, colourType,
               options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (options.kind == PngKind::Palette) {
    png_set_PLTE(p, info, palette.data(), int(palette.size()));
    png_set_tRNS(p, info, paletteAlpha.data(), int(paletteAlpha.size()), nullptr);
  }
  if (!options.icc.empty())
    png_set_iCCP(p, info, "icc", PNG_COMPRESSION_TYPE_BASE, reinterpret_cast<png_const_bytep>(options.icc.data()),
                 png_uint_32(options.icc.size()));
  std::string exif;
  if (options.orientation != 0) {
    exif = ExifTiff(options.orientation);
    png_set_eXIf_1(p, info, png_uint_32(exif.size()), reinterpret_cast<png_bytep>(exif.data()));
  }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_set_rows(p, info, pointers.data());
  png_write_png(p, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&p, &info);
  if (options.secondFrame != nullptr) png = WithSecondFrame(png, *options.secondFrame);
  WriteFile(path, png);
}

namespace {

// An encoded WebP still (without chunks besides the image's own).
std::string EncodeWebp(int width, int height, const Pixels& pixels, bool alpha, bool lossless) {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Sample4 s = pixels(x, y);
      rgba.insert(rgba.end(), {std::uint8_t(s.r), std::uint8_t(s.g), std::uint8_t(s.b)});
      if (alpha) rgba.push_back(std::uint8_t(s.a));
    }
  std::uint8_t* out = nullptr;
  std::size_t size = 0;
  const int stride = width * (alpha ? 4 : 3);
  if (lossless)
    size = alpha ? WebPEncodeLosslessRGBA(rgba.data(), width, height, stride, &out)
                 : WebPEncodeLosslessRGB(rgba.data(), width, height, stride, &out);
  else
    size = alpha ? WebPEncodeRGBA(rgba.data(), width, height, stride, 95, &out)
                 : WebPEncodeRGB(rgba.data(), width, height, stride, 95, &out);
  Check(size > 0, "WebPEncode");
  std::string bytes(reinterpret_cast<const char*>(out), size);
  WebPFree(out);
  return bytes;
}

}  // namespace

void WriteWebp(const std::string& path, int width, int height, const Pixels& pixels, const WebpOptions& options) {
  std::string bytes;
  if (options.secondFrame != nullptr) {
    WebPAnimEncoderOptions animOptions;
    Check(WebPAnimEncoderOptionsInit(&animOptions), "WebPAnimEncoderOptionsInit");
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(width, height, &animOptions);
    WebPConfig config;
    Check(WebPConfigInit(&config), "WebPConfigInit");
    config.lossless = 1;
    const Pixels frames[2] = {pixels, FromImage(*options.secondFrame)};
    int timestamp = 0;
    for (const Pixels& frame : frames) {
      WebPPicture picture;
      Check(WebPPictureInit(&picture), "WebPPictureInit");
      picture.width = width;
      picture.height = height;
      picture.use_argb = 1;
      Check(WebPPictureAlloc(&picture), "WebPPictureAlloc");
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const Sample4 s = frame(x, y);
          picture.argb[y * picture.argb_stride + x] = (0xFFu << 24) | (std::uint32_t(s.r) << 16) | (s.g << 8) | s.b;
        }
      Check(WebPAnimEncoderAdd(encoder, &picture, timestamp, &config), "WebPAnimEncoderAdd");
      WebPPictureFree(&picture);
      timestamp += 100;
    }
    Check(WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr), "WebPAnimEncoderAdd end");
    WebPData data;
    WebPDataInit(&data);
    Check(WebPAnimEncoderAssemble(encoder, &data), "WebPAnimEncoderAssemble");
    bytes.assign(reinterpret_cast<const char*>(data.bytes), data.size);
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
  } else {
    bytes = EncodeWebp(width, height, pixels, options.alpha, options.lossless);
  }
  if (!options.icc.empty() || options.orientation != 0) {
    WebPMux* mux = WebPMuxNew();
    const WebPData image{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    Check(WebPMuxSetImage(mux, &image, 1) == WEBP_MUX_OK, "WebPMuxSetImage");
    const std::string exif = options.orientation != 0 ? ExifTiff(options.orientation) : std::string();
    if (!options.icc.empty()) {
      const WebPData icc{reinterpret_cast<const std::uint8_t*>(options.icc.data()), options.icc.size()};
      Check(WebPMuxSetChunk(mux, "ICCP", &icc, 1) == WEBP_MUX_OK, "ICCP");
    }
    if (!exif.empty()) {
      const WebPData data{reinterpret_cast<const std::uint8_t*>(exif.data()), exif.size()};
      Check(WebPMuxSetChunk(mux, "EXIF", &data, 1) == WEBP_MUX_OK, "EXIF");
    }
    WebPData out;
    WebPDataInit(&out);
    Check(WebPMuxAssemble(mux, &out) == WEBP_MUX_OK, "WebPMuxAssemble");
    bytes.assign(reinterpret_cast<const char*>(out.bytes), out.size);
    WebPDataClear(&out);
    WebPMuxDelete(mux);
  }
  WriteFile(path, bytes);
}

namespace {

heif_image* HeifImage(int width, int height, const Pixels& pixels, int depth, bool alpha) {
  const bool deep = depth > 8;
  const heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                  : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  heif_image* image = nullptr;
  CheckHeif(heif_image_create(width, height, heif_colorspace_RGB, chroma, &image));
  CheckHeif(heif_image_add_plane(image, heif_channel_interleaved, width, height, depth));
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Sample4 s = pixels(x, y);
      const std::uint16_t v[4] = {s.r, s.g, s.b, s.a};
      for (int c = 0; c < channels; ++c) {
        std::uint8_t* at =
            plane + std::size_t(y) * std::size_t(stride) + std::size_t((x * channels + c) * (deep ? 2 : 1));
        if (deep) {
          at[0] = std::uint8_t(v[c] & 0xFF);
          at[1] = std::uint8_t(v[c] >> 8);
        } else {
          at[0] = std::uint8_t(v[c]);
        }
      }
    }
  return image;
}

}  // namespace

void WriteHeif(const std::string& path, int width, int height, const Pixels& pixels, const HeifOptions& options) {
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  CheckHeif(heif_context_get_encoder_for_format(context, options.avif ? heif_compression_AV1 : heif_compression_HEVC,
                                                &encoder));
  CheckHeif(heif_encoder_set_lossy_quality(encoder, options.quality));
  if (options.lossless) {
    CheckHeif(heif_encoder_set_lossless(encoder, 1));
    CheckHeif(heif_encoder_set_parameter(encoder, "chroma", "444"));
  } else if (options.chroma != nullptr) {
    CheckHeif(heif_encoder_set_parameter(encoder, "chroma", options.chroma));
  }
  heif_image* image = HeifImage(width, height, pixels, options.depth, options.alpha);
  if (!options.icc.empty())
    CheckHeif(heif_image_set_raw_color_profile(image, "prof", options.icc.data(), options.icc.size()));
  heif_color_profile_nclx* nclx = nullptr;
  if (options.primaries != 0 || options.lossless || options.matrix != 0) {
    nclx = heif_nclx_color_profile_alloc();
    nclx->color_primaries = static_cast<heif_color_primaries>(options.primaries != 0 ? options.primaries : 1);
    nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
    nclx->matrix_coefficients = options.lossless
                                    ? heif_matrix_coefficients_RGB_GBR
                                    : static_cast<heif_matrix_coefficients>(options.matrix != 0 ? options.matrix : 6);
    nclx->full_range_flag = options.limitedRange ? 0 : 1;
    CheckHeif(heif_image_set_nclx_color_profile(image, nclx));
  }
  heif_encoding_options* encoding = heif_encoding_options_alloc();
  if (nclx != nullptr) {
    // Written as given, also where it equals the library's default.
    encoding->output_nclx_profile = nclx;
    encoding->macOS_compatibility_workaround_no_nclx_profile = 0;
  }
  encoding->image_orientation = static_cast<heif_orientation>(options.orientation);
  heif_image_handle* handle = nullptr;
  CheckHeif(heif_context_encode_image(context, image, encoder, encoding, &handle));
  if (options.exifOrientation != 0) {
    const std::string exif = ExifTiff(options.exifOrientation);
    CheckHeif(heif_context_add_exif_metadata(context, handle, exif.data(), int(exif.size())));
  }
  if (options.secondImage != nullptr) {
    heif_image* second = HeifImage(options.secondImage->width(), options.secondImage->height(),
                                   FromImage(*options.secondImage), 8, false);
    heif_image_handle* secondHandle = nullptr;
    encoding->image_orientation = heif_orientation_normal;
    CheckHeif(heif_context_encode_image(context, second, encoder, encoding, &secondHandle));
    heif_image_handle_release(secondHandle);
    heif_image_release(second);
    CheckHeif(heif_context_set_primary_image(context, handle));
  }
  heif_image_handle_release(handle);
  heif_encoding_options_free(encoding);
  if (nclx != nullptr) heif_nclx_color_profile_free(nclx);
  heif_image_release(image);
  heif_encoder_release(encoder);
  CheckHeif(heif_context_write_to_file(context, path.c_str()));
  heif_context_free(context);
}

void WriteCmykJpeg(const std::string& path, int width, int height, std::array<std::uint8_t, 4> inks, bool adobe,
                   bool ycck, const std::string& icc) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Check(file != nullptr, "fopen");
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, file);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, ycck ? JCS_YCCK : JCS_CMYK);
  c.write_Adobe_marker = adobe ? TRUE : FALSE;
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  if (!icc.empty())
    jpeg_write_icc_profile(&c, reinterpret_cast<const JOCTET*>(icc.data()), static_cast<unsigned int>(icc.size()));
  std::vector<std::uint8_t> row;
  for (int x = 0; x < width; ++x) row.insert(row.end(), inks.begin(), inks.end());
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(file);
}

Image DecodeHeifWithLibrary(const std::string& path) {
  heif_context* context = heif_context_alloc();
  CheckHeif(heif_context_read_from_file(context, path.c_str(), nullptr));
  heif_image_handle* handle = nullptr;
  CheckHeif(heif_context_get_primary_image_handle(context, &handle));
  heif_image* decoded = nullptr;
  CheckHeif(heif_decode_image(handle, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr));
  const int width = heif_image_get_width(decoded, heif_channel_interleaved);
  const int height = heif_image_get_height(decoded, heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    std::memcpy(image.row(y), plane + std::size_t(y) * std::size_t(stride), image.stride());
  heif_image_release(decoded);
  heif_image_handle_release(handle);
  heif_context_free(context);
  return image;
}

Rgb Centre(const Image& image) {
  const std::uint8_t* p = image.pixel(image.width() / 2, image.height() / 2);
  return {p[0], p[1], p[2]};
}

}  // namespace fotoloom::test
