// One entry point per fuzzed input path, shared by the libFuzzer targets and the regression tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fotoloom::fuzz {

// Each function feeds one arbitrary input to the code under test and returns
// normally when the code either accepts the input or rejects it with
// fotoloom::Error. Any other exception, a crash or a sanitizer report is a
// finding. They check a few properties that must hold for every input and
// abort when one fails, so the fuzzer reports it.

// Writes the bytes to a temporary file and decodes it as a photo, in colour
// and in grey; whatever decodes must have a size and encode again.
void JpegDecodeInput(const std::uint8_t* data, std::size_t size);

// Writes the bytes to a temporary file and decodes it as a PNG, a WebP or a
// HEIF photo, in colour and in grey, on a dark background; whatever decodes
// must have a size, go through its colour conversion and encode again.
void PngDecodeInput(const std::uint8_t* data, std::size_t size);
void WebpDecodeInput(const std::uint8_t* data, std::size_t size);
void HeifDecodeInput(const std::uint8_t* data, std::size_t size);

// Writes the bytes to a temporary file and loads it with Read_settings_file;
// whatever loads must also save and load again.
void SettingsFileInput(const std::uint8_t* data, std::size_t size);

// Splits the bytes into template lines, macro pairs and a page position and
// renders a page, once in one go and once through PageRenderer; both results
// must be equal. The whole input, taken as an image file name, must also come
// back unchanged from its escaped page forms.
void TemplateInput(const std::uint8_t* data, std::size_t size);

// Writes the bytes to a temporary file and reads its metadata, then reads
// it again with the same bytes as its XMP sidecar, and rewrites the bytes
// without location. Every caption and label must follow the text rules, and
// a rewritten photo must carry no GPS tag.
void PhotoMetadataInput(const std::uint8_t* data, std::size_t size);

// Takes the bytes as the lines of an update state after a sound header and
// as a whole state file, and as a name of the output folder: every name a
// state reads must pass the output folder's name rule, a state must read
// back the same after it is written again, and a name the rule lets through
// must lead to a path inside the folder.
void UpdateStateInput(const std::uint8_t* data, std::size_t size);

}  // namespace fotoloom::fuzz
