// The macros of the ZIP of all originals: its file name and its size as a reader sees it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fotoloom {

// The macro of the ZIP's file name ("photos.zip"; empty when the gallery has no ZIP).
inline constexpr std::string_view kZipMacro = "@zip@";
// The macro of the ZIP's size, ZipSizeText (empty when the gallery has no ZIP).
inline constexpr std::string_view kZipSizeMacro = "@zipsize@";
// The macro of the whole download link, ZipLink (empty when the gallery has no ZIP).
inline constexpr std::string_view kZipLinkMacro = "@zip_link@";

// A file size for people, in decimal units as file managers and browsers
// show downloads: "532 B" below 1000 bytes, else in kB, MB, GB or TB (1 kB
// = 1000 B), the largest unit that leaves at least 1, with one decimal
// below 100 ("1.2 GB", "12.5 MB", "1.0 MB") and none from 100 on ("532 MB"),
// rounded half up; a value that rounds to 1000 goes to the next unit
// ("999,960 B" is "1.0 MB"). Beyond 1000 TB it stays in TB.
std::string ZipSizeText(std::uint64_t bytes);

// The link that downloads the ZIP named zipName, saying what it holds:
// "Download all 24 photos (12.5 MB)", or "Download the photo (1.2 MB)" for
// one. Empty when zipName is, so that a page without a ZIP offers none.
std::string ZipLink(std::string_view zipName, std::int64_t photoCount, std::string_view sizeText);

}  // namespace fotoloom
