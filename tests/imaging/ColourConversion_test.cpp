#include "imaging/ColourConversion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "PhotoFixtures.h"

namespace fotoloom {
namespace {

using test::Rgb;

// lcms2's optimised 8-bit transforms differ from its exact floating-point
// ones by at most one level; the reference is the exact one.
constexpr int kOptimisedTolerance = 1;

Rgb Converted(const SrgbConversion& conversion, Rgb colour) {
  Image image = test::FlatImage(1, 1, colour);
  conversion.Apply(image);
  return test::Centre(image);
}

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Text(Rgb c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }

TEST(SrgbConversion, leaves_untagged_and_srgb_tagged_pixels_alone) {
  for (const bool grey : {false, true}) {
    EXPECT_FALSE(SrgbConversion::For({}, grey).Converts());
    const SrgbConversion srgb = SrgbConversion::For({test::SrgbProfile()}, grey);
    EXPECT_FALSE(srgb.Converts());
    EXPECT_FALSE(srgb.Damaged());
    // A coded description of sRGB's own primaries, or unspecified ones.
    EXPECT_FALSE(SrgbConversion::For({"", 1, 13}, grey).Converts());
    EXPECT_FALSE(SrgbConversion::For({"", 2, 2}, grey).Converts());
  }
}

TEST(SrgbConversion, wide_gamut_patches_match_the_lcms2_reference) {
  const struct {
    const char* name;
    std::string icc;
  } profiles[] = {{"Display P3", test::DisplayP3Profile()}, {"Adobe RGB", test::AdobeRgbProfile()}};
  const Rgb patches[] = {{255, 0, 0},   {0, 255, 0},     {0, 0, 255}, {200, 40, 30},  {40, 180, 60},
                         {30, 50, 190}, {128, 128, 128}, {0, 0, 0},   {255, 255, 255}};
  for (const auto& p : profiles) {
    const SrgbConversion conversion = SrgbConversion::For({p.icc}, false);
    ASSERT_TRUE(conversion.Converts()) << p.name;
    for (const Rgb patch : patches) {
      const Rgb got = Converted(conversion, patch);
      const Rgb want = test::ReferenceToSrgb(p.icc, patch);
      EXPECT_TRUE(Near(got, want, kOptimisedTolerance))
          << p.name << " " << Text(patch) << ": " << Text(got) << " instead of " << Text(want);
    }
    // The colours really move: a saturated red of the wide space is redder
    // than sRGB's red can be, a mid red is shown more saturated.
    EXPECT_FALSE(Near(Converted(conversion, {200, 40, 30}), {200, 40, 30}, 3)) << p.name;
  }
}

TEST(SrgbConversion, every_colour_of_a_wide_gamut_space_is_within_a_level_of_the_exact_conversion) {
  // Every third level of each channel, and every colour of the darkest
  // levels, where the curves are steepest.
  std::vector<std::uint8_t> colours;
  const auto add = [&](int r, int g, int b) {
    for (int v : {r, g, b}) colours.push_back(static_cast<std::uint8_t>(v));
  };
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 3) add(r, g, b);
  for (int r = 0; r < 16; ++r)
    for (int g = 0; g < 16; ++g)
      for (int b = 0; b < 16; ++b) add(r, g, b);
  for (const std::string& icc : {test::DisplayP3Profile(), test::AdobeRgbProfile()}) {
    const std::vector<std::uint8_t> want = test::ReferenceRowToSrgb(icc, colours);
    std::vector<std::uint8_t> got = colours;
    SrgbConversion::For({icc}, false).ApplyRow(got.data(), static_cast<int>(got.size() / 3));
    int worst = 0;
    std::size_t at = 0;
    for (std::size_t i = 0; i < got.size(); ++i)
      if (std::abs(int(got[i]) - int(want[i])) > worst) {
        worst = std::abs(int(got[i]) - int(want[i]));
        at = i - i % 3;
      }
    EXPECT_LE(worst, kOptimisedTolerance) << "at " << Text({colours[at], colours[at + 1], colours[at + 2]});
  }
}

TEST(SrgbConversion, is_relative_colorimetric_with_black_point_compensation) {
  // Relative: the white of a D65 space stays white (absolute would tint it).
  const SrgbConversion p3 = SrgbConversion::For({test::DisplayP3Profile()}, false);
  const Rgb white = Converted(p3, {255, 255, 255});
  EXPECT_TRUE(Near(white, {255, 255, 255}, 0)) << Text(white);
  // Black-point compensation: a space whose black is a dark grey maps it to
  // black; without it, black would show as that grey (about 89 in sRGB).
  const std::string lifted = test::GreyProfileWithLiftedBlack();
  const SrgbConversion grey = SrgbConversion::For({lifted}, true);
  ASSERT_TRUE(grey.Converts());
  EXPECT_EQ(Converted(grey, {0, 0, 0}).r, 0);
  EXPECT_TRUE(
      Near(Converted(grey, {128, 128, 128}), test::ReferenceToSrgb(lifted, {128, 128, 128}), kOptimisedTolerance));
}

TEST(SrgbConversion, grey_stays_grey) {
  const struct {
    std::string icc;
    bool converts;
  } cases[] = {{test::GreyProfile(1.8), true}, {test::DisplayP3Profile(), false}, {test::AdobeRgbProfile(), true}};
  for (const auto& c : cases) {
    const SrgbConversion conversion = SrgbConversion::For({c.icc}, true);
    EXPECT_EQ(conversion.Converts(), c.converts);
    for (int v = 0; v < 256; v += 15) {
      const Rgb got = Converted(conversion, {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)});
      EXPECT_TRUE(got.r == got.g && got.g == got.b) << Text(got);
    }
  }
  // A grey gamma-1.8 profile lightens the mid greys into sRGB as lcms2 does.
  const std::string g18 = test::GreyProfile(1.8);
  const Rgb mid = Converted(SrgbConversion::For({g18}, true), {100, 100, 100});
  EXPECT_TRUE(Near(mid, test::ReferenceToSrgb(g18, {100, 100, 100}), kOptimisedTolerance)) << Text(mid);
}

TEST(SrgbConversion, a_coded_description_of_display_p3_converts_as_its_profile_does) {
  const SrgbConversion coded = SrgbConversion::For({"", 12, 13}, false);
  ASSERT_TRUE(coded.Converts());
  const std::string p3 = test::DisplayP3Profile();
  for (const Rgb patch : {Rgb{200, 40, 30}, Rgb{40, 180, 60}, Rgb{30, 50, 190}})
    EXPECT_TRUE(Near(Converted(coded, patch), test::ReferenceToSrgb(p3, patch), kOptimisedTolerance)) << Text(patch);
}

TEST(SrgbConversion, a_profile_it_cannot_use_is_ignored_and_said_so) {
  const struct {
    const char* name;
    ColourDescription colour;
    bool grey;
  } cases[] = {
      {"not a profile", {"garbage that is no ICC profile at all"}, false},
      {"cut short", {test::DisplayP3Profile().substr(0, 200)}, false},
      {"grey profile on colour pixels", {test::GreyProfile(2.2)}, false},
      {"CMYK profile on RGB pixels", {test::RotatedCmykProfile()}, false},
  };
  for (const auto& c : cases) {
    const SrgbConversion conversion = SrgbConversion::For(c.colour, c.grey);
    EXPECT_TRUE(conversion.Damaged()) << c.name;
    EXPECT_FALSE(conversion.Converts()) << c.name;
  }
  EXPECT_EQ(DamagedProfileWarning("/in/a.jpg"),
            "/in/a.jpg has a colour profile that cannot be used: it is ignored and the colours are taken as sRGB");
}

TEST(CmykConversion, without_a_profile_mixes_plainly_in_both_conventions) {
  const struct {
    std::array<std::uint8_t, 4> stored;
    bool inverted;
    Rgb want;
  } cases[] = {
      {{0, 0, 0, 0}, false, {255, 255, 255}},
      {{255, 0, 0, 0}, false, {0, 255, 255}},
      {{0, 0, 0, 255}, false, {0, 0, 0}},
      {{0, 128, 0, 128}, false, {127, 63, 127}},
      {{255, 255, 255, 255}, true, {255, 255, 255}},
      {{0, 255, 255, 255}, true, {0, 255, 255}},
  };
  const CmykConversion none("", false);
  for (const auto& c : cases) {
    const CmykConversion conversion("", c.inverted);
    EXPECT_FALSE(conversion.Damaged());
    std::uint8_t rgb[3];
    conversion.ToRgb(c.stored.data(), rgb, 1);
    EXPECT_TRUE(Near({rgb[0], rgb[1], rgb[2]}, c.want, 0)) << Text({rgb[0], rgb[1], rgb[2]});
  }
}

TEST(CmykConversion, through_a_profile_matches_the_lcms2_reference) {
  const std::string icc = test::RotatedCmykProfile();
  for (const bool inverted : {false, true}) {
    const CmykConversion conversion(icc, inverted);
    EXPECT_FALSE(conversion.Damaged());
    for (const std::array<std::uint8_t, 4> inks :
         {std::array<std::uint8_t, 4>{255, 0, 0, 0}, {0, 200, 30, 20}, {40, 40, 40, 0}}) {
      std::uint8_t rgb[3];
      conversion.ToRgb(inks.data(), rgb, 1);
      // The profile's grid of 9 points a channel is interpolated by the
      // optimised transform and sampled exactly by the reference.
      EXPECT_TRUE(Near({rgb[0], rgb[1], rgb[2]}, test::ReferenceCmykToSrgb(icc, inks, inverted), 3))
          << Text({rgb[0], rgb[1], rgb[2]}) << " vs " << Text(test::ReferenceCmykToSrgb(icc, inks, inverted));
    }
  }
  // An RGB profile cannot describe inks: the plain mixing is used.
  const CmykConversion wrong(test::DisplayP3Profile(), false);
  EXPECT_TRUE(wrong.Damaged());
  const std::uint8_t cyan[4] = {255, 0, 0, 0};
  std::uint8_t rgb[3];
  wrong.ToRgb(cyan, rgb, 1);
  EXPECT_TRUE(Near({rgb[0], rgb[1], rgb[2]}, {0, 255, 255}, 0));
}

}  // namespace
}  // namespace fotoloom
