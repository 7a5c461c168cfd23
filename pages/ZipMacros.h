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

// A file size for people, in decimal units as file managers and browsers
// show downloads: "532 B" below 1000 bytes, else in kB, MB, GB or TB (1 kB
// = 1000 B), the largest unit that leaves at least 1, with one decimal
// below 100 ("1.2 GB", "12.5 MB", "1.0 MB") and none from 100 on ("532 MB"),
// rounded half up; a value that rounds to 1000 goes to the next unit
// ("999,960 B" is "1.0 MB"). Beyond 1000 TB it stays in TB.
std::string ZipSizeText(std::uint64_t bytes);

}  // namespace fotoloom
