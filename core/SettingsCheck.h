// The one check of what a run takes from the settings: its numbers in their ranges and its page names.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/GallerySettings.h"

namespace fotoloom {

// The largest side in pixels an image or thumbnail bound may ask for: the
// largest a JPEG file can have.
inline constexpr int kMaxImageSide = 65500;

// Rows or columns a thumbnail page may have at most.
inline constexpr int kMaxGridSide = 1000;

// A number a run takes from the settings, and the range it must be in.
struct RunNumber {
  SettingsField Field;
  std::string_view Key;   // as the settings file writes it
  std::string_view What;  // "image size", "number of rows", ... for messages
  std::string_view Unit;  // "pixel", or empty
  int Low;
  int High;
  bool ImagesOnly;  // used only when the run makes images (ElementsMode is not 2)
  // The value as the record holds it.
  std::string (*Text)(const GallerySettings& settings);
};

// Every number a run takes, in the order of the settings file: the two
// qualities (0 to 100; the record keeps them in 1..100), the largest image
// width and height and the thumbnail size (1 to kMaxImageSide), and the
// rows and columns of a thumbnail page (1 to kMaxGridSide).
std::span<const RunNumber> RunNumbers();

// The number among RunNumbers whose key is key in any letter case, or nullptr.
const RunNumber* FindRunNumber(std::string_view key);

// The whole number a run reads from a number text: leading blanks, then a
// number as the settings file holds it (sign, decimal, or hexadecimal after
// "0x" or "$"). Nothing for anything else, trailing blanks and numbers
// beyond 32 bits included.
std::optional<int> RunNumberValue(std::string_view text);

enum class ValueFaultKind {
  NotANumber,  // the text is not a whole number
  OutOfRange,  // a whole number outside the range
  ZeroGrid,    // rows times columns is 0
  BadName,     // a page name or the extension cannot be part of a file name
};

// One value a run cannot take, with everything a message names: which field
// and key, the text as held, the range and, for a name, the reason.
struct ValueFault {
  ValueFaultKind Kind = ValueFaultKind::NotANumber;
  SettingsField Field = SettingsField::InputPath;
  std::string_view Key;
  std::string Text;
  int Low = 0;
  int High = 0;
  std::string_view Reason;  // BadName: what is wrong with it
};

// The fault of text as the value of number; nothing when it is a whole
// number within the range.
std::optional<ValueFault> CheckRunNumber(const RunNumber& number, std::string_view text);

// The first fault among the numbers a run converts from settings, in the
// order of RunNumbers, the image bounds left out when the run makes no
// images. Rows and columns are read as the grid: either one not a number,
// then both read and their product 0 (ZeroGrid, on the one that is 0), then
// each out of its range.
std::optional<ValueFault> CheckRunNumbers(const GallerySettings& settings);

// The first fault among ThumbPagesName, ImagePagesName and WebSiteExtension:
// a "/" (the page would be written into another folder), a NUL, or "..".
std::optional<ValueFault> CheckPageNames(const GallerySettings& settings);

// The reason the command line and the wizard give for a number fault:
// "is not a whole number between 1 and 65500".
std::string WholeNumberReason(const ValueFault& fault);

// The message of a run refused for fault, the key first and then the text
// a run has always given for it, so that a script looking for that still
// finds it: "MaxWidthImage: 'abc' is not a valid integer value",
// "RowsCount x ColsCount is 0: Division by zero", "MaxWidthImage: '-1' is
// not a valid image size: it must be at least 1 pixel", "ThumbPagesName:
// '../x' cannot be used in page names: it holds "/" ...".
std::string RunFaultMessage(const ValueFault& fault);

}  // namespace fotoloom
