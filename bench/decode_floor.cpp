// The decoders' own floor: every photo of a folder decoded once by its library, with nothing else.
//
// Usage: decode_floor heif DIR      (every *.heic, decoded to 8-bit RGB by libheif)
//        decode_floor png DIR       (every *.png, decoded to 8-bit RGB(A) rows by libpng)
//        decode_floor p3-profile FILE   (writes a Display P3 ICC profile, for the wide-gamut corpus)
// Prints one line: wall seconds, photos, the process's peak resident memory
// in MiB and its processor seconds, as writers_bench does, so that
// bench/run_formats.sh sets a run of fotoloom-cli against it.
#include <lcms2.h>
#include <libheif/heif.h>
#include <png.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> Files(const std::string& dir, const std::string& extension) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == extension) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

void Report(Clock::time_point start, std::size_t photos) {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  std::printf("%.3f s %zu photos %.1f MiB %.3f cpu-s\n", std::chrono::duration<double>(Clock::now() - start).count(),
              photos, static_cast<double>(usage.ru_maxrss) / 1024.0, s(usage.ru_utime) + s(usage.ru_stime));
}

void DecodeHeif(const std::string& path) {
  heif_context* context = heif_context_alloc();
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  if (heif_context_read_from_file(context, path.c_str(), nullptr).code != heif_error_Ok ||
      heif_context_get_primary_image_handle(context, &handle).code != heif_error_Ok ||
      heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code !=
          heif_error_Ok) {
    std::fprintf(stderr, "cannot decode %s\n", path.c_str());
    std::exit(1);
  }
  heif_image_release(image);
  heif_image_handle_release(handle);
  heif_context_free(context);
}

void DecodePng(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (file == nullptr || png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "cannot decode %s\n", path.c_str());
    std::exit(1);
  }
  png_init_io(png, file);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_scale_16(png);
  png_read_update_info(png, info);
  std::vector<png_byte> row(png_get_rowbytes(png, info));
  for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y) png_read_row(png, row.data(), nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
}

int WriteDisplayP3(const std::string& path) {
  const cmsCIExyY d65{0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE p3{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &p3, curves);
  const bool saved = cmsSaveProfileToFile(profile, path.c_str());
  cmsCloseProfile(profile);
  cmsFreeToneCurve(curve);
  return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: decode_floor heif|png DIR | decode_floor p3-profile FILE\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "p3-profile") return WriteDisplayP3(argv[2]);
  const bool heif = mode == "heif";
  const std::vector<std::string> files = Files(argv[2], heif ? ".heic" : ".png");
  const Clock::time_point start = Clock::now();
  for (const std::string& file : files) heif ? DecodeHeif(file) : DecodePng(file);
  Report(start, files.size());
  return 0;
}
