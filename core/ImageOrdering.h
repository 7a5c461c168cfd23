// The gallery order: comparing image entries by day or by name, and the ordered list of paths.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/Un_MyFindFile.h"

namespace fotoloom {

// The locale whose collation orders file names: the first non-empty of
// LC_ALL, LC_COLLATE and LANG, without encoding and modifier ("de_DE.UTF-8"
// gives "de_DE"). "C", "POSIX" or nothing set gives "" (the root collation).
std::string UserCollationLocale();

// A linguistic comparison of UTF-8 file names for one locale, with no option
// flags: letter case and accents count, digits compare as characters (so
// "img10.jpg" sorts before "img2.jpg"), and "a.jpg" comes before "B.jpg" also
// in the C locale, where the root collation is used.
class NameCollator {
 public:
  // The collator of UserCollationLocale().
  NameCollator();
  // The collator of an ICU locale name; "" is the root collation.
  explicit NameCollator(const std::string& localeName);
  ~NameCollator();
  NameCollator(const NameCollator&) = delete;
  NameCollator& operator=(const NameCollator&) = delete;

  // -1, 0 or 1 as a sorts before, equal to, or after b.
  int Compare(const std::string& a, const std::string& b) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Which key ListView1Compare compares.
enum class CompareMode {
  Date,  // the day of the file's last write
  Text,  // the file name
  Time,  // when the photo was taken, else the file's last write, to the nanosecond
};

// The moment the Time mode orders an entry by: DateTaken when known, else
// FileTime. Both are local times compared as they stand.
const LocalTimestamp& OrderTimeOf(const ImageEntry& entry);

// -1, 0 or 1 as Item1 sorts before, equal to, or after Item2: by the day of
// FileDate (times of day never take part), by FileName through collator, or
// by OrderTimeOf. The collator is used only in the text mode; without one
// (null) a collator for the user's locale is made for the one comparison.
int ListView1Compare(const ImageEntry& Item1, const ImageEntry& Item2, CompareMode mode, const NameCollator* collator);

// The indexes into entries in gallery order: 0 date ascending, 1 date
// descending, 2 name ascending, 3 name descending; any other index (-1 when
// no order is chosen) gives date ascending. A date order compares days, or
// with UseExif set the moments of OrderTimeOf. The sort is stable, so
// entries with equal keys keep their discovery order, and each descending
// order is the exact reverse of its ascending one.
std::vector<std::size_t> GalleryOrder(const std::vector<ImageEntry>& entries, int SortingMethodIndex,
                                      bool UseExif = false);

// The full path of an entry: Folder and FileName with one "/" between them.
std::string ImagePathOf(const ImageEntry& entry);

// The full paths of the entries in the order of GalleryOrder.
std::vector<std::string> Build_image_list(std::vector<ImageEntry> entries, int SortingMethodIndex,
                                          bool UseExif = false);

}  // namespace fotoloom
