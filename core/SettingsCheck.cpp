// The ranges of the numbers a run takes, the check of them and of the page names, and the run's messages.
#include "core/SettingsCheck.h"

#include <array>

#include "core/IniFile.h"
#include "core/OutputNames.h"

namespace fotoloom {
namespace {

using S = GallerySettings;
using F = SettingsField;

template <const std::string& (S::*Get)() const>
std::string TextOf(const S& s) {
  return (s.*Get)();
}

template <int (S::*Get)() const>
std::string NumberOf(const S& s) {
  return std::to_string((s.*Get)());
}

// One number a line, in the order of the settings file.
// clang-format off
constexpr auto kNumbers = std::to_array<RunNumber>({
    {F::QualityImages, "QualityImages", "JPEG quality", "", 0, 100, true, &NumberOf<&S::QualityImages>},
    {F::MaxWidthImage, "MaxWidthImage", "image size", "pixel", 1, kMaxImageSide, true, &TextOf<&S::MaxWidthImage>},
    {F::MaxHeightImage, "MaxHeightImage", "image size", "pixel", 1, kMaxImageSide, true, &TextOf<&S::MaxHeightImage>},
    {F::QualityThumbnails, "QualityThumbnails", "JPEG quality", "", 0, 100, true, &NumberOf<&S::QualityThumbnails>},
    {F::MaxSizeThumbnails, "MaxSizeThumbnails", "image size", "pixel", 1, kMaxImageSide, true, &TextOf<&S::MaxSizeThumbnails>},
    {F::RowsCount, "RowsCount", "number of rows", "", 1, kMaxGridSide, false, &TextOf<&S::RowsCount>},
    {F::ColsCount, "ColsCount", "number of columns", "", 1, kMaxGridSide, false, &TextOf<&S::ColsCount>},
});
// clang-format on

const RunNumber& NumberOfField(F field) {
  for (const RunNumber& n : kNumbers)
    if (n.Field == field) return n;
  return kNumbers.front();
}

ValueFault FaultOf(ValueFaultKind kind, const RunNumber& number, std::string_view text) {
  return {kind, number.Field, number.Key, std::string(text), number.Low, number.High, {}};
}

// Rows and columns in the order a run has always read them.
std::optional<ValueFault> CheckGrid(const S& s) {
  const RunNumber& rows = NumberOfField(F::RowsCount);
  const RunNumber& cols = NumberOfField(F::ColsCount);
  const std::optional<int> r = RunNumberValue(s.RowsCount());
  if (!r) return FaultOf(ValueFaultKind::NotANumber, rows, s.RowsCount());
  const std::optional<int> c = RunNumberValue(s.ColsCount());
  if (!c) return FaultOf(ValueFaultKind::NotANumber, cols, s.ColsCount());
  if (*r == 0) return FaultOf(ValueFaultKind::ZeroGrid, rows, s.RowsCount());
  if (*c == 0) return FaultOf(ValueFaultKind::ZeroGrid, cols, s.ColsCount());
  if (auto fault = CheckRunNumber(rows, s.RowsCount())) return fault;
  return CheckRunNumber(cols, s.ColsCount());
}

// The fault of one page name part: a separator, a NUL or "..".
std::optional<ValueFault> CheckNamePart(F field, std::string_view key, const std::string& text) {
  std::string_view reason;
  if (text.find('/') != std::string::npos)
    reason = NameFaultText(NameFault::Separator);
  else if (text.find('\0') != std::string::npos)
    reason = NameFaultText(NameFault::Nul);
  else if (text.find("..") != std::string::npos)
    reason = "it holds \"..\", which names the folder above";
  if (reason.empty()) return std::nullopt;
  return ValueFault{ValueFaultKind::BadName, field, key, text, 0, 0, reason};
}

}  // namespace

std::span<const RunNumber> RunNumbers() { return kNumbers; }

const RunNumber* FindRunNumber(std::string_view key) {
  for (const RunNumber& n : kNumbers)
    if (IniNamesMatch(n.Key, key)) return &n;
  return nullptr;
}

std::optional<int> RunNumberValue(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  return ParseIniInteger(text.substr(start));
}

std::optional<ValueFault> CheckRunNumber(const RunNumber& number, std::string_view text) {
  const std::optional<int> value = RunNumberValue(text);
  if (!value) return FaultOf(ValueFaultKind::NotANumber, number, text);
  if (*value < number.Low || *value > number.High) return FaultOf(ValueFaultKind::OutOfRange, number, text);
  return std::nullopt;
}

std::optional<ValueFault> CheckRunNumbers(const GallerySettings& settings) {
  const bool images = settings.ElementsMode() != 2;
  for (const RunNumber& n : kNumbers) {
    if (n.ImagesOnly && !images) continue;
    if (n.Field == F::ColsCount) continue;  // read with the rows
    std::optional<ValueFault> fault =
        n.Field == F::RowsCount ? CheckGrid(settings) : CheckRunNumber(n, n.Text(settings));
    if (fault) return fault;
  }
  return std::nullopt;
}

std::optional<ValueFault> CheckPageNames(const GallerySettings& settings) {
  if (auto fault = CheckNamePart(F::ThumbPagesName, "ThumbPagesName", settings.ThumbPagesName())) return fault;
  if (auto fault = CheckNamePart(F::ImagePagesName, "ImagePagesName", settings.ImagePagesName())) return fault;
  return CheckNamePart(F::WebSiteExtension, "WebSiteExtension", settings.WebSiteExtension());
}

std::string WholeNumberReason(const ValueFault& fault) {
  return "is not a whole number between " + std::to_string(fault.Low) + " and " + std::to_string(fault.High);
}

std::string RunFaultMessage(const ValueFault& fault) {
  const std::string key(fault.Key);
  const std::string quoted = "'" + fault.Text + "'";
  switch (fault.Kind) {
    case ValueFaultKind::NotANumber: return key + ": " + quoted + " is not a valid integer value";
    case ValueFaultKind::ZeroGrid: return "RowsCount x ColsCount is 0: Division by zero";
    case ValueFaultKind::BadName:
      return key + ": " + quoted + " cannot be used in page names: " + std::string(fault.Reason);
    case ValueFaultKind::OutOfRange: break;
  }
  const RunNumber* number = FindRunNumber(fault.Key);
  const std::string what = number ? std::string(number->What) : "value";
  const std::string unit = number ? std::string(number->Unit) : "";
  const bool low = RunNumberValue(fault.Text).value_or(fault.Low) < fault.Low;
  const int bound = low ? fault.Low : fault.High;
  std::string text = key + ": " + quoted + " is not a valid " + what + ": it must be at " + (low ? "least " : "most ") +
                     std::to_string(bound);
  if (!unit.empty()) text += " " + unit + (bound == 1 ? "" : "s");
  return text;
}

}  // namespace fotoloom
