// Colour conversion to sRGB over lcms2: the only file that talks to the library.
#include "imaging/ColourConversion.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace fotoloom {

namespace {

// Relative colorimetric with black-point compensation: in-gamut colours keep
// their values and the source's black maps to sRGB black. The profiles of
// photos are matrix-and-curve profiles, for which lcms2 has no perceptual
// tables anyway (it would use the colorimetric ones).
constexpr cmsUInt32Number kIntent = INTENT_RELATIVE_COLORIMETRIC;
constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION;

// How far from sRGB (in levels of 255) a profile may be to count as sRGB:
// sRGB profiles of different makers disagree by one level here and there.
constexpr int kSrgbTolerance = 1;

struct ProfileCloser {
  void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
  void operator()(void* t) const { cmsDeleteTransform(t); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

Profile Srgb() { return Profile(cmsCreate_sRGBProfile()); }

// Whether a profile of this class can describe the colours of a photo.
bool DescribesImages(cmsHPROFILE p) {
  const cmsProfileClassSignature c = cmsGetDeviceClass(p);
  return c == cmsSigInputClass || c == cmsSigDisplayClass || c == cmsSigOutputClass || c == cmsSigColorSpaceClass;
}

Profile OpenIcc(const std::string& icc) {
  if (icc.empty()) return nullptr;
  Profile p(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  if (p && !DescribesImages(p.get())) p.reset();
  return p;
}

struct Chromaticities {
  cmsCIExyY white;
  cmsCIExyYTRIPLE primaries;
};

constexpr cmsCIExyY kD65{0.3127, 0.3290, 1.0};

// The primaries and white of an H.273 colour primaries code; false for a
// code that names no RGB space (or sRGB's own, 1, and unspecified, 2).
bool ChromaticitiesOf(int code, Chromaticities& out) {
  switch (code) {
    case 4: out = {{0.310, 0.316, 1.0}, {{0.67, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.14, 0.08, 1.0}}}; return true;
    case 5: out = {kD65, {{0.64, 0.33, 1.0}, {0.29, 0.60, 1.0}, {0.15, 0.06, 1.0}}}; return true;
    case 6:
    case 7: out = {kD65, {{0.630, 0.340, 1.0}, {0.310, 0.595, 1.0}, {0.155, 0.070, 1.0}}}; return true;
    case 9: out = {kD65, {{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}}}; return true;
    case 11: out = {{0.314, 0.351, 1.0}, {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}}}; return true;
    case 12: out = {kD65, {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}}}; return true;
    case 22: out = {kD65, {{0.630, 0.340, 1.0}, {0.295, 0.605, 1.0}, {0.155, 0.077, 1.0}}}; return true;
    default: return false;
  }
}

// The curve of an H.273 transfer characteristics code. Codes without a
// display curve of this kind (PQ, HLG, logarithmic) and unspecified ones
// take sRGB's curve, the one the web assumes.
cmsToneCurve* CurveOf(int code) {
  // Parametric type 4: Y = ((aX + b)^g) for X >= d, Y = cX below.
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  const cmsFloat64Number bt709[5] = {1.0 / 0.45, 1.0 / 1.099, 0.099 / 1.099, 1.0 / 4.5, 0.081};
  switch (code) {
    case 1:
    case 6:
    case 14:
    case 15: return cmsBuildParametricToneCurve(nullptr, 4, bt709);
    case 4: return cmsBuildGamma(nullptr, 2.2);
    case 5: return cmsBuildGamma(nullptr, 2.8);
    case 8: return cmsBuildGamma(nullptr, 1.0);
    default: return cmsBuildParametricToneCurve(nullptr, 4, srgb);
  }
}

// An RGB profile for a coded description; null when its primaries are
// sRGB's or unknown, which leaves the pixels as they are.
Profile ProfileOfCodes(int primaries, int transfer) {
  Chromaticities c{};
  if (!ChromaticitiesOf(primaries, c)) return nullptr;
  cmsToneCurve* curve = CurveOf(transfer);
  if (curve == nullptr) return nullptr;
  cmsToneCurve* curves[3] = {curve, curve, curve};
  Profile p(cmsCreateRGBProfile(&c.white, &c.primaries, curves));
  cmsFreeToneCurve(curve);
  return p;
}

int Distance(const std::uint8_t* a, const std::uint8_t* b, int count) {
  int most = 0;
  for (int i = 0; i < count; ++i) most = std::max(most, std::abs(int(a[i]) - int(b[i])));
  return most;
}

// The colours a conversion is tried on, as RGB triples: a grid of 9 levels per
// channel and every grey.
std::vector<std::uint8_t> TrialColours() {
  std::vector<std::uint8_t> in;
  for (int r = 0; r <= 256; r += 32)
    for (int g = 0; g <= 256; g += 32)
      for (int b = 0; b <= 256; b += 32)
        for (int v : {r, g, b}) in.push_back(static_cast<std::uint8_t>(std::min(v, 255)));
  for (int v = 0; v < 256; ++v) in.insert(in.end(), 3, static_cast<std::uint8_t>(v));
  return in;
}

// The trial colours and where an RGB to RGB transform takes them.
struct TrialRun {
  std::vector<std::uint8_t> in = TrialColours();
  std::vector<std::uint8_t> out;
  explicit TrialRun(cmsHTRANSFORM t) : out(in.size()) {
    cmsDoTransform(t, in.data(), out.data(), static_cast<cmsUInt32Number>(in.size() / 3));
  }
  // Whether the transform leaves the colours where they are.
  bool KeepsColours() const { return Distance(in.data(), out.data(), static_cast<int>(in.size())) <= kSrgbTolerance; }
};

// A conversion between two matrix-and-curve RGB spaces, as most photos'
// profiles are: each channel through its curve to linear light, a 3 x 3
// matrix into sRGB's primaries, and sRGB's curve back. lcms2 does the same
// for such profiles, one pixel at a time through a general pipeline; these
// tables do it at a fraction of the cost, which matters because every
// wide-gamut photo's images go through it.
class MatrixShaper {
 public:
  // The tables for source to sRGB; false when the source is not a plain
  // matrix-and-curve profile whose black is zero (then black-point
  // compensation does nothing).
  bool Build(cmsHPROFILE source, cmsHPROFILE srgb);

  void ApplyRow(std::uint8_t* row, int width) const {
    // The three channels of a pixel are computed together, one matrix
    // column at a time in a vector of four lanes (the fourth unused).
    const Lanes red = columns_[0], green = columns_[1], blue = columns_[2];
    const Lanes zero = {}, top = {kTop, kTop, kTop, kTop};
    const std::uint8_t* out = out_.data();
    for (int x = 0; x < width; ++x, row += 3) {
      Lanes v = red * in_[0][row[0]] + green * in_[1][row[1]] + blue * in_[2][row[2]];
      v = v < zero ? zero : v;
      v = v > top ? top : v;
      // Stored only once all three are read: the row may alias the tables.
      const std::uint8_t r = out[static_cast<int>(v[0])], g = out[static_cast<int>(v[1])],
                         b = out[static_cast<int>(v[2])];
      row[0] = r;
      row[1] = g;
      row[2] = b;
    }
  }

 private:
  // Linear light is kept in steps of 1 / kSteps: the table of sRGB's curve
  // has an entry for each step (finer than one level of 255 everywhere).
  static constexpr int kSteps = 1 << 14;
  // The largest value a lane may take before it is truncated to an index
  // of that table: the entry for full light.
  static constexpr float kTop = kSteps;

  using Lanes = float __attribute__((vector_size(16)));

  std::array<std::array<float, 256>, 3> in_{};
  std::array<Lanes, 3> columns_{};  // the matrix by columns
  std::vector<std::uint8_t> out_;
};

bool PlainMatrixShaper(cmsHPROFILE p) {
  // A profile with tables for some intent is converted through them by
  // lcms2, not through its matrix.
  for (const cmsTagSignature t : {cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag, cmsSigDToB0Tag, cmsSigDToB1Tag})
    if (cmsIsTag(p, t)) return false;
  return cmsGetColorSpace(p) == cmsSigRgbData && cmsGetPCS(p) == cmsSigXYZData && cmsIsMatrixShaper(p);
}

using Matrix3 = std::array<std::array<double, 3>, 3>;

// The columns of a profile's colorants, as a 3 x 3 matrix (rows X, Y, Z).
bool ColorantsOf(cmsHPROFILE p, Matrix3& m) {
  const cmsTagSignature tags[3] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
  for (std::size_t c = 0; c < 3; ++c) {
    const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(p, tags[c]));
    if (xyz == nullptr) return false;
    m[0][c] = xyz->X;
    m[1][c] = xyz->Y;
    m[2][c] = xyz->Z;
  }
  return true;
}

// The inverse of a by its adjugate; false when a is (nearly) singular.
bool Invert(const Matrix3& a, Matrix3& inverse) {
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 3; ++c) {
      // The cofactor of a[c][r], transposed into place.
      const std::size_t r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
      inverse[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
    }
  const double det = a[0][0] * inverse[0][0] + a[0][1] * inverse[1][0] + a[0][2] * inverse[2][0];
  if (std::abs(det) < 1e-9) return false;
  for (auto& row : inverse)
    for (double& v : row) v /= det;
  return true;
}

Matrix3 Product(const Matrix3& a, const Matrix3& b) {
  Matrix3 p{};
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 3; ++c)
      for (std::size_t k = 0; k < 3; ++k) p[r][c] += a[r][k] * b[k][c];
  return p;
}

bool MatrixShaper::Build(cmsHPROFILE source, cmsHPROFILE srgb) {
  if (!PlainMatrixShaper(source) || !PlainMatrixShaper(srgb)) return false;
  Matrix3 from{}, to{}, toInverse{};
  if (!ColorantsOf(source, from) || !ColorantsOf(srgb, to) || !Invert(to, toInverse)) return false;
  const Matrix3 m = Product(toInverse, from);
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 3; ++c) columns_[c][r] = static_cast<float>(m[r][c]);
  const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
  for (std::size_t c = 0; c < 3; ++c) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(source, curves[c]));
    if (curve == nullptr || cmsEvalToneCurveFloat(curve, 0) != 0) return false;
    for (int v = 0; v < 256; ++v)
      in_[c][static_cast<std::size_t>(v)] =
          cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(v / 255.0)) * kSteps;
  }
  // sRGB's three curves are one curve.
  const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
  if (srgbCurve == nullptr) return false;
  cmsToneCurve* encode = cmsReverseToneCurve(srgbCurve);
  if (encode == nullptr) return false;
  // Entry i stands for the linear light from i to i + 1 steps (an index is
  // a truncated lane), so it holds the level of the middle of that span.
  out_.resize(static_cast<std::size_t>(kSteps) + 1);
  for (int i = 0; i <= kSteps; ++i) {
    const double light = std::min(1.0, (i + 0.5) / kSteps);
    const double level = cmsEvalToneCurveFloat(encode, static_cast<cmsFloat32Number>(light)) * 255.0;
    out_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
  }
  cmsFreeToneCurve(encode);
  return true;
}

// Whether the tables agree with lcms2's transform, within what lcms2's own
// 8-bit path differs from its exact one, on the trial colours; a profile
// whose tables do not (whatever the reason) is converted by lcms2 itself.
bool AgreesWith(const MatrixShaper& shaper, const TrialRun& lcms) {
  std::vector<std::uint8_t> got = lcms.in;
  shaper.ApplyRow(got.data(), static_cast<int>(got.size() / 3));
  return Distance(got.data(), lcms.out.data(), static_cast<int>(got.size())) <= kSrgbTolerance;
}

}  // namespace

struct SrgbConversion::State {
  Transform transform;                 // colour pixels
  std::optional<MatrixShaper> shaper;  // the same as transform, faster, when it applies
  std::array<std::uint8_t, 256> grey;  // grey pixels, when transform is null
  mutable std::vector<std::uint8_t> scratch;
};

SrgbConversion::SrgbConversion() = default;
SrgbConversion::~SrgbConversion() = default;
SrgbConversion::SrgbConversion(SrgbConversion&&) noexcept = default;
SrgbConversion& SrgbConversion::operator=(SrgbConversion&&) noexcept = default;

SrgbConversion SrgbConversion::For(const ColourDescription& colour, bool greyPixels) {
  SrgbConversion conversion;
  if (colour.Empty()) return conversion;
  Profile source = colour.Icc.empty() ? ProfileOfCodes(colour.Primaries, colour.Transfer) : OpenIcc(colour.Icc);
  if (!source) {
    // A coded description of sRGB, or an unknown code, needs nothing done.
    conversion.damaged_ = !colour.Icc.empty();
    return conversion;
  }
  const cmsColorSpaceSignature space = cmsGetColorSpace(source.get());
  const bool grey = space == cmsSigGrayData;
  if ((space != cmsSigRgbData && !grey) || (grey && !greyPixels)) {
    conversion.damaged_ = true;
    return conversion;
  }
  const Profile target = Srgb();
  Transform t(
      cmsCreateTransform(source.get(), grey ? TYPE_GRAY_8 : TYPE_RGB_8, target.get(), TYPE_RGB_8, kIntent, kFlags));
  if (!t) {
    conversion.damaged_ = true;
    return conversion;
  }
  auto state = std::make_unique<State>();
  if (greyPixels) {
    // Each grey goes where its neutral colour goes, as a grey again.
    std::array<std::uint8_t, 3 * 256> in{};
    std::array<std::uint8_t, 3 * 256> out{};
    const int channels = grey ? 1 : 3;
    for (int v = 0; v < 256; ++v)
      for (int k = 0; k < channels; ++k) in[static_cast<std::size_t>(channels * v + k)] = static_cast<std::uint8_t>(v);
    cmsDoTransform(t.get(), in.data(), out.data(), 256);
    bool same = true;
    for (int v = 0; v < 256; ++v) {
      const std::uint8_t* o = &out[static_cast<std::size_t>(3 * v)];
      state->grey[static_cast<std::size_t>(v)] = GreyOf(o[0], o[1], o[2]);
      same = same && std::abs(int(state->grey[static_cast<std::size_t>(v)]) - v) <= kSrgbTolerance;
    }
    if (same) return conversion;
  } else {
    const TrialRun trial(t.get());
    if (trial.KeepsColours()) return conversion;
    MatrixShaper shaper;
    if (!grey && shaper.Build(source.get(), target.get()) && AgreesWith(shaper, trial)) state->shaper = shaper;
    state->transform = std::move(t);
  }
  conversion.state_ = std::move(state);
  return conversion;
}

void SrgbConversion::ApplyRow(std::uint8_t* row, int width) const {
  if (!state_ || width <= 0) return;
  const std::size_t bytes = static_cast<std::size_t>(width) * 3;
  if (!state_->transform) {
    for (std::size_t i = 0; i < bytes; ++i) row[i] = state_->grey[row[i]];
    return;
  }
  if (state_->shaper) {
    state_->shaper->ApplyRow(row, width);
    return;
  }
  std::vector<std::uint8_t>& scratch = state_->scratch;
  scratch.assign(row, row + bytes);
  cmsDoTransform(state_->transform.get(), scratch.data(), row, static_cast<cmsUInt32Number>(width));
}

void SrgbConversion::Apply(Image& image) const {
  if (!state_) return;
  for (int y = 0; y < image.height(); ++y) ApplyRow(image.row(y), image.width());
}

struct CmykConversion::State {
  Transform transform;
  mutable std::vector<std::uint8_t> scratch;
};

CmykConversion::CmykConversion(const std::string& icc, bool inverted) : inverted_(inverted) {
  if (icc.empty()) return;
  const Profile source = OpenIcc(icc);
  if (!source || cmsGetColorSpace(source.get()) != cmsSigCmykData) {
    damaged_ = true;
    return;
  }
  const Profile target = Srgb();
  Transform t(cmsCreateTransform(source.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, target.get(), TYPE_RGB_8,
                                 kIntent, kFlags));
  if (!t) {
    damaged_ = true;
    return;
  }
  state_ = std::make_unique<State>();
  state_->transform = std::move(t);
}

CmykConversion::~CmykConversion() = default;

void CmykConversion::ToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, int width) const {
  if (width <= 0) return;
  if (state_) {
    std::vector<std::uint8_t>& scratch = state_->scratch;
    scratch.assign(cmyk, cmyk + static_cast<std::size_t>(width) * 4);
    cmsDoTransform(state_->transform.get(), scratch.data(), rgb, static_cast<cmsUInt32Number>(width));
    return;
  }
  // Forward in place is safe: pixel x is written at 3x, at or before where
  // its own and every later pixel's bytes are read (4x).
  for (int x = 0; x < width; ++x) {
    const std::uint8_t* p = cmyk + 4 * static_cast<std::size_t>(x);
    // What is left of white after each ink, as a fraction of 255.
    const int k = inverted_ ? p[3] : 255 - p[3];
    std::uint8_t out[3];
    for (int i = 0; i < 3; ++i) {
      const int c = inverted_ ? p[i] : 255 - p[i];
      out[i] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
    std::uint8_t* o = rgb + 3 * static_cast<std::size_t>(x);
    o[0] = out[0];
    o[1] = out[1];
    o[2] = out[2];
  }
}

std::string DamagedProfileWarning(const std::string& path) {
  return path + " has a colour profile that cannot be used: it is ignored and the colours are taken as sRGB";
}

void MakeRowGrey(std::uint8_t* row, int width) {
  for (int x = 0; x < width; ++x) {
    std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
    const std::uint8_t g = GreyOf(p[0], p[1], p[2]);
    p[0] = g;
    p[1] = g;
    p[2] = g;
  }
}

}  // namespace fotoloom
