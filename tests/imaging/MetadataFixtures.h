// Photos and sidecars with real metadata for the metadata tests, written by exiftool.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace fotoloom::test {

// One file's metadata as exiftool arguments: "-XMP-dc:Description=A caption",
// "-Make=Canon", or "-UserComment<=value.txt" to take a value (any bytes,
// line breaks too) from a file.
struct TaggedFile {
  std::string path;
  std::vector<std::string> args;
};

// Writes the tags into the files, which must exist, with one exiftool
// process for all of them. Fails the running test when exiftool reports an
// error.
void WriteTags(const std::vector<TaggedFile>& files);

// Writes a small JPEG photo (48 x 32, a flat colour chosen by seed) at each
// path and then the tags of WriteTags.
void WriteTaggedPhotos(const std::vector<TaggedFile>& files, int seed = 1);

// The text of an XMP sidecar file whose dc:description holds each pair's
// text under its language ("x-default", "de", ...), in the order given.
std::string SidecarXmp(const std::vector<std::pair<std::string, std::string>>& descriptions);

// The tags exiftool reads from a file, one "[Group] Name : value" line
// each, numbers as stored, without the file system's and exiftool's own.
std::vector<std::string> ExiftoolTags(const std::string& path);

}  // namespace fotoloom::test
