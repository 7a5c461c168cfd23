// Image ordering by day or by ICU collation of the file names.
#include "core/ImageOrdering.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/stringpiece.h>

#include <algorithm>
#include <compare>
#include <cstdlib>

#include "core/Error.h"

namespace fotoloom {

std::string UserCollationLocale() {
  std::string name;
  for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') {
      name = value;
      break;
    }
  }
  name = name.substr(0, name.find_first_of(".@"));
  if (name == "C" || name == "POSIX") name.clear();
  return name;
}

struct NameCollator::Impl {
  std::unique_ptr<icu::Collator> collator;
};

NameCollator::NameCollator() : NameCollator(UserCollationLocale()) {}

NameCollator::NameCollator(const std::string& localeName) : impl_(std::make_unique<Impl>()) {
  // ICU's own default locale in a C environment is en_US_POSIX, whose
  // tailoring is close to code-point order; ask for the root explicitly.
  const icu::Locale locale = localeName.empty() ? icu::Locale::getRoot() : icu::Locale(localeName.c_str());
  UErrorCode status = U_ZERO_ERROR;
  impl_->collator.reset(icu::Collator::createInstance(locale, status));
  if (U_FAILURE(status) || !impl_->collator) {
    status = U_ZERO_ERROR;
    impl_->collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
  }
  if (U_FAILURE(status) || !impl_->collator)
    throw Error(std::string("Cannot create the name collation: ") + u_errorName(status));
}

NameCollator::~NameCollator() = default;

int NameCollator::Compare(const std::string& a, const std::string& b) const {
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult r = impl_->collator->compareUTF8(icu::StringPiece(a), icu::StringPiece(b), status);
  if (U_FAILURE(status)) return a < b ? -1 : (a == b ? 0 : 1);
  return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}

const LocalTimestamp& OrderTimeOf(const ImageEntry& entry) {
  return entry.DateTaken ? *entry.DateTaken : entry.FileTime;
}

int ListView1Compare(const ImageEntry& Item1, const ImageEntry& Item2, CompareMode mode, const NameCollator* collator) {
  switch (mode) {
    case CompareMode::Date:
      if (Item1.FileDate == Item2.FileDate) return 0;
      return Item1.FileDate > Item2.FileDate ? 1 : -1;
    case CompareMode::Time: {
      const std::strong_ordering order = OrderTimeOf(Item1) <=> OrderTimeOf(Item2);
      return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    case CompareMode::Text: break;
  }
  if (collator == nullptr) return NameCollator().Compare(Item1.FileName, Item2.FileName);
  return collator->Compare(Item1.FileName, Item2.FileName);
}

std::vector<std::size_t> GalleryOrder(const std::vector<ImageEntry>& entries, int SortingMethodIndex, bool UseExif) {
  const int method = (SortingMethodIndex >= 0 && SortingMethodIndex <= 3) ? SortingMethodIndex : 0;
  const CompareMode mode = method >= 2 ? CompareMode::Text : (UseExif ? CompareMode::Time : CompareMode::Date);
  std::unique_ptr<NameCollator> collator;
  if (mode == CompareMode::Text) collator = std::make_unique<NameCollator>();
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return ListView1Compare(entries[a], entries[b], mode, collator.get()) < 0;
  });
  if (method == 1 || method == 3) std::reverse(order.begin(), order.end());
  return order;
}

std::string ImagePathOf(const ImageEntry& entry) {
  std::string path = entry.Folder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + entry.FileName;
}

std::vector<std::string> Build_image_list(std::vector<ImageEntry> entries, int SortingMethodIndex, bool UseExif) {
  std::vector<std::string> paths;
  paths.reserve(entries.size());
  for (const std::size_t i : GalleryOrder(entries, SortingMethodIndex, UseExif))
    paths.push_back(ImagePathOf(entries[i]));
  return paths;
}

}  // namespace fotoloom
