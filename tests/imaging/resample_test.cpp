#include "imaging/resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "ReferenceStretch.h"
#include "core/Error.h"
#include "imaging/resample_passes.h"

namespace fotoloom {
namespace {

// An image whose every row reads the given grey values.
Image GreyRows(int height, std::initializer_list<int> row) {
  Image image(static_cast<int>(row.size()), height);
  for (int y = 0; y < height; ++y) {
    int x = 0;
    for (int value : row) {
      for (int c = 0; c < 3; ++c) image.pixel(x, y)[c] = static_cast<std::uint8_t>(value);
      ++x;
    }
  }
  return image;
}

// Red channel of row y.
std::vector<int> RedRow(const Image& image, int y) {
  std::vector<int> values;
  for (int x = 0; x < image.width(); ++x) values.push_back(image.pixel(x, y)[0]);
  return values;
}

// Red channel of column x.
std::vector<int> RedColumn(const Image& image, int x) {
  std::vector<int> values;
  for (int y = 0; y < image.height(); ++y) values.push_back(image.pixel(x, y)[0]);
  return values;
}

Image Stretch(const Image& source, int width, int height, int filter, const StretchHooks& hooks = {}) {
  Image target(width, height);
  ResampleStretch(hooks, source, target, FilterTable[filter].Function, FilterTable[filter].Support);
  return target;
}

constexpr int kBox = 0, kTriangle = 1, kHermite = 2, kBell = 3, kSpline = 4, kLanczos3 = 5, kMitchell = 6;

TEST(ResampleKernels, values_at_integers) {
  for (Kernel k : {BoxFilter, TriangleFilter, HermiteFilter}) {
    EXPECT_EQ(k(0), 1.0f);
    for (float x : {-3.0f, -2.0f, -1.0f, 1.0f, 2.0f, 3.0f}) EXPECT_EQ(k(x), 0.0f) << x;
  }
  EXPECT_EQ(BellFilter(0), 0.75f);
  EXPECT_EQ(BellFilter(1), 0.125f);
  EXPECT_EQ(BellFilter(-1), 0.125f);
  EXPECT_EQ(BellFilter(2), 0.0f);
  EXPECT_EQ(SplineFilter(0), 2.0f / 3.0f);
  EXPECT_EQ(SplineFilter(1), 1.0f / 6.0f);
  EXPECT_EQ(SplineFilter(-1), 1.0f / 6.0f);
  EXPECT_EQ(SplineFilter(2), 0.0f);
  EXPECT_EQ(MitchellFilter(0), 0.888888895511627197265625f);  // 8/9 via 16/3 rounded to float
  EXPECT_EQ(MitchellFilter(1), 1.0f / 18.0f);
  EXPECT_EQ(MitchellFilter(-1), 1.0f / 18.0f);
  EXPECT_EQ(MitchellFilter(2), 0.0f);
  EXPECT_EQ(Lanczos3Filter(0), 1.0f);
  // pi x k is rounded to float before the sine, so the zeros are only near zero.
  for (float x : {-2.0f, -1.0f, 1.0f, 2.0f}) {
    EXPECT_NE(Lanczos3Filter(x), 0.0f) << x;
    EXPECT_LT(std::fabs(Lanczos3Filter(x)), 1e-7f) << x;
  }
  EXPECT_EQ(Lanczos3Filter(3), 0.0f);
}

TEST(ResampleKernels, box_is_open_on_the_left_and_closed_on_the_right) {
  EXPECT_EQ(BoxFilter(0.5f), 1.0f);
  EXPECT_EQ(BoxFilter(-0.5f), 0.0f);
  EXPECT_EQ(BoxFilter(-0.49999997f), 1.0f);
  EXPECT_EQ(BoxFilter(0.50000006f), 0.0f);
}

TEST(ResampleKernels, values_between_integers_round_once_per_stored_step) {
  EXPECT_EQ(TriangleFilter(0.25f), 0.75f);
  EXPECT_EQ(HermiteFilter(0.5f), 0.5f);                // 0.25 x (1 - 3) + 1
  EXPECT_EQ(BellFilter(1.25f), 0.03125f);              // (-0.25)^2 x 0.5
  EXPECT_EQ(SplineFilter(1.5f), 1.0f / 48);            // 0.5^2 x 1/6 x 0.5
  EXPECT_EQ(MitchellFilter(1.5f), -0.0347222201526f);  // p = -0.20833333 as a float, / 6
  EXPECT_EQ(MitchellFilter(-1.5f), MitchellFilter(1.5f));
  EXPECT_EQ(Lanczos3Filter(-0.5f), Lanczos3Filter(0.5f));
}

TEST(ResampleStretch, lanczos3_enlargement_of_flat_grey_keeps_the_unnormalised_dip) {
  Image source = GreyRows(3, {200, 200, 200});
  Image target = Stretch(source, 5, 5, kLanczos3);
  for (int y : {0, 2, 4}) EXPECT_EQ(RedRow(target, y), (std::vector<int>{200, 199, 200, 199, 200})) << y;
  for (int y : {1, 3}) EXPECT_EQ(RedRow(target, y), (std::vector<int>{199, 198, 199, 198, 199})) << y;
}

TEST(ResampleStretch, box_halving_mirrors_the_left_edge_and_rounds_ties_to_even) {
  Image target = Stretch(GreyRows(5, {3, 2, 9, 9, 9}), 3, 3, kBox);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(RedRow(target, y), (std::vector<int>{2, 6, 9})) << y;
}

TEST(ResampleStretch, softening_filters_at_the_same_size) {
  Image bell = Stretch(GreyRows(4, {10, 20, 30, 40}), 4, 4, kBell);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(RedRow(bell, y), (std::vector<int>{12, 20, 30, 39})) << y;
  // The left edge pixel borrows from index 1, the right one from itself.
  Image mitchell = Stretch(GreyRows(5, {0, 255, 0, 255, 0}), 5, 5, kMitchell);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(RedRow(mitchell, y), (std::vector<int>{28, 227, 28, 227, 14})) << y;
}

TEST(ResampleStretch, interpolating_filters_reproduce_the_image_at_the_same_size) {
  Image source(37, 9);
  for (std::size_t i = 0; i < source.stride() * 9; ++i) source.data()[i] = static_cast<std::uint8_t>(i * 97 % 256);
  for (int filter : {kBox, kTriangle, kHermite, kLanczos3}) {
    Image target = Stretch(source, 37, 9, filter);
    EXPECT_EQ(std::vector<std::uint8_t>(target.data(), target.data() + target.stride() * 9),
              std::vector<std::uint8_t>(source.data(), source.data() + source.stride() * 9))
        << FilterTable[filter].Caption;
  }
}

TEST(ResampleStretch, channels_are_filtered_apart) {
  Image source(2, 1);
  const std::uint8_t pixels[] = {200, 0, 40, 100, 50, 0};
  std::copy(pixels, pixels + 6, source.data());
  Image target = Stretch(source, 3, 1, kTriangle);
  EXPECT_EQ(std::vector<int>(target.data(), target.data() + 9),
            (std::vector<int>{200, 0, 40, 150, 25, 20, 100, 50, 0}));
}

TEST(ResampleStretch, overshoot_is_clamped_to_0_and_255) {
  // Half-pixel positions next to the step ring below 0 and above 255; the
  // outer lobes show as the 6 and the 247.
  Image target = Stretch(GreyRows(1, {0, 0, 0, 255, 255, 255}), 11, 1, kLanczos3);
  EXPECT_EQ(RedRow(target, 0), (std::vector<int>{0, 6, 0, 0, 0, 127, 255, 255, 255, 247, 255}));
  EXPECT_EQ(SumToByte(255.49f), 255);
  EXPECT_EQ(SumToByte(300.0f), 255);
  EXPECT_EQ(SumToByte(-0.4f), 0);
  EXPECT_EQ(SumToByte(-40.0f), 0);
  EXPECT_EQ(SumToByte(254.5f), 254);
  EXPECT_EQ(SumToByte(3.5f), 4);
  EXPECT_EQ(SumToByte(2.5f), 2);
  EXPECT_EQ(SumToByte(2.5000002f), 3);
}

// Sums whose float rounding decides the byte: the first with extended
// precision is 132.50001 (double gives 132), the second starts with a weight
// of 1.7e-22, and a fused multiply-add would round its next step the wrong way.
TEST(ResampleStretch, sums_round_each_step_from_extended_precision) {
  for (bool portable : {false, true}) {
    UseGenericPasses(portable);
    Image first = Stretch(GreyRows(2, {0, 0, 0, 0, 0, 40, 9, 39, 181, 127, 157, 71, 0, 0, 0, 0}), 10, 2, kSpline);
    EXPECT_EQ(first.pixel(5, 0)[0], 133);
    EXPECT_EQ(first.pixel(5, 1)[2], 133);
    Image second = Stretch(GreyRows(2, {0, 0, 0, 0, 0, 1, 9, 39, 181, 127, 157, 71, 0, 0, 0, 0}), 10, 2, kSpline);
    EXPECT_EQ(second.pixel(5, 0)[0], 132);
    EXPECT_EQ(second.pixel(5, 1)[1], 132);
  }
  UseGenericPasses(false);
}

// Weights of 1e-35 could drive sums into the subnormal range, where the fast
// passes' exactness check does not hold; such lists take the extended path.
float TinyShoulders(float x) { return std::fabs(x) < 0.5f ? 1.0f : std::fabs(x) < 1.5f ? 1e-35f : 0.0f; }

TEST(ResampleStretch, tiny_weights_give_the_reference_result) {
  Image source = GreyRows(3, {0, 7, 200, 0, 1});
  for (bool portable : {false, true}) {
    UseGenericPasses(portable);
    Image fast(5, 3), reference(5, 3);
    ResampleStretch({}, source, fast, TinyShoulders, 1.5f);
    test::ReferenceStretch(source, reference, TinyShoulders, 1.5f);
    EXPECT_EQ(RedRow(fast, 1), RedRow(reference, 1));
    EXPECT_EQ(RedRow(fast, 1), (std::vector<int>{0, 7, 200, 0, 1}));
  }
  UseGenericPasses(false);
}

TEST(ResampleStretch, empty_sources_raise_before_touching_the_target) {
  Image target(4, 4);
  std::fill(target.data(), target.data() + 48, std::uint8_t{77});
  for (auto [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{0, 0}}) {
    Image source(w, h);
    try {
      ResampleStretch({}, source, target, BoxFilter, 0.5f);
      ADD_FAILURE() << w << "x" << h;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "Source bitmap too small");
    }
  }
  EXPECT_EQ(RedRow(target, 3), (std::vector<int>{77, 77, 77, 77}));
}

TEST(ResampleStretch, one_pixel_sources_and_targets_are_defined) {
  // A one-pixel-wide source: mirrored indices fall outside and clamp to it.
  EXPECT_EQ(RedRow(Stretch(GreyRows(1, {100}), 5, 1, kTriangle), 0), (std::vector<int>{100, 100, 100, 100, 100}));
  // Lanczos3 at the half-pixel position sums to 0.9943: 99.
  EXPECT_EQ(RedColumn(Stretch(GreyRows(1, {100}), 1, 4, kLanczos3), 0), (std::vector<int>{100, 100, 99, 100}));
  // A one-pixel target scales by 1/3: Box takes pixels -1 (mirrored to 1), 0, 1
  // at a third each, (20 + 10 + 20) / 3.
  EXPECT_EQ(RedRow(Stretch(GreyRows(1, {10, 20, 30}), 1, 1, kBox), 0), (std::vector<int>{17}));
  Image tall = Stretch(GreyRows(300, {90, 90}), 1, 1, kMitchell);
  EXPECT_EQ(tall.pixel(0, 0)[0], 90);
  // An empty target is left alone.
  Image empty(0, 5);
  ResampleStretch({}, GreyRows(3, {1, 2, 3}), empty, BoxFilter, 0.5f);
  EXPECT_EQ(empty.width(), 0);
}

TEST(ResampleStretch, reuses_scratch_memory_across_sizes) {
  StretchScratch scratch;
  Image big(120, 80), small(7, 5);
  for (std::size_t i = 0; i < big.stride() * 80; ++i) big.data()[i] = static_cast<std::uint8_t>(i * 31 % 251);
  for (std::size_t i = 0; i < small.stride() * 5; ++i) small.data()[i] = static_cast<std::uint8_t>(i * 13 % 256);
  for (const Image* source : {&big, &small, &big}) {
    for (auto [w, h] : {std::pair{33, 21}, std::pair{9, 130}}) {
      Image fast(w, h), reference(w, h);
      ResampleStretch({}, *source, fast, Lanczos3Filter, 3.0f, scratch);
      test::ReferenceStretch(*source, reference, Lanczos3Filter, 3.0f);
      EXPECT_EQ(std::vector<std::uint8_t>(fast.data(), fast.data() + fast.stride() * h),
                std::vector<std::uint8_t>(reference.data(), reference.data() + reference.stride() * h));
    }
  }
}

// Counts the pause points and answers "cancelled" from the n-th on.
struct PauseRecorder {
  int Calls = 0;
  int CancelFrom = 1;
  StretchHooks Hooks(unsigned phases) {
    return {[this] { ++Calls; }, [this] { return Calls >= CancelFrom; }, phases};
  }
};

TEST(ResampleStretch, pauses_once_per_list_row_and_column) {
  PauseRecorder recorder;
  Image target = Stretch(GreyRows(30, {1, 2, 3, 4, 5, 6, 7, 8}), 20, 7, kBell, recorder.Hooks(0));
  EXPECT_EQ(recorder.Calls, 20 + 30 + 7 + 20);
  recorder = {};
  recorder.CancelFrom = 1000;
  Stretch(GreyRows(30, {1, 2, 3, 4, 5, 6, 7, 8}), 20, 7, kBell, recorder.Hooks(~0u));
  EXPECT_EQ(recorder.Calls, 20 + 30 + 7 + 20);
}

TEST(ResampleStretch, each_worker_cancels_in_its_own_phases) {
  Image source(40, 40);
  std::fill(source.data(), source.data() + source.stride() * 40, std::uint8_t{50});
  auto run = [&](int width, int height, unsigned phases) {
    PauseRecorder recorder;
    Image target(width, height);
    std::fill(target.data(), target.data() + target.stride() * height, std::uint8_t{7});
    ResampleStretch(recorder.Hooks(phases), source, target, MitchellFilter, 2.0f);
    return std::pair{recorder.Calls, target.pixel(0, 0)[0] == 7};
  };
  // Shrinking: the thumbnail worker stops after the first source row, the
  // scaled-image worker only once its first vertical list is built.
  EXPECT_EQ(run(10, 10, kThumbCancelPhases), (std::pair{10 + 1, true}));
  EXPECT_EQ(run(10, 10, kScalingCancelPhases), (std::pair{10 + 40 + 1, true}));
  // Enlarging: the scaled-image worker stops after its first horizontal list.
  EXPECT_EQ(run(60, 60, kScalingCancelPhases), (std::pair{1, true}));
  EXPECT_EQ(run(60, 60, kThumbCancelPhases), (std::pair{60 + 1, true}));
  // A set holding only the shrinking vertical lists passes everything before.
  EXPECT_EQ(run(60, 10, kVerticalTapsShrinking), (std::pair{60 + 40 + 1, true}));
}

TEST(ResampleStretch, a_cancel_in_the_vertical_pass_keeps_the_columns_written) {
  Image source = GreyRows(3, {9, 9, 9});
  PauseRecorder recorder;
  recorder.CancelFrom = 70 + 3 + 3 + 1;
  Image target(70, 3);
  std::fill(target.data(), target.data() + target.stride() * 3, std::uint8_t{7});
  ResampleStretch(recorder.Hooks(kVerticalPass), source, target, TriangleFilter, 1.0f);
  EXPECT_EQ(recorder.Calls, 70 + 3 + 3 + 1);
  EXPECT_EQ(RedColumn(target, 0), (std::vector<int>{9, 9, 9}));
  EXPECT_EQ(RedColumn(target, 69), (std::vector<int>{7, 7, 7}));
}

}  // namespace
}  // namespace fotoloom
