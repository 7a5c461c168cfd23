// Photos and sidecars with real metadata: exiftool writes the tags, one process per call.
#include "MetadataFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "JpegFixtures.h"
#include "pages/PageNames.h"
#include "support/TempDir.h"

namespace fotoloom::test {

void WriteTags(const std::vector<TaggedFile>& files) {
  // One argument a line; "-execute" ends the arguments of one file.
  std::string argfile;
  for (const TaggedFile& file : files) {
    for (const std::string& arg : file.args) argfile += arg + "\n";
    argfile += file.path + "\n-execute\n";
  }
  const TempDir dir;
  WriteFile(dir / "args", argfile);
  // A tag exiftool does not know is only a warning to it: any warning fails the test.
  const std::string command = "exiftool -@ '" + (dir / "args") +
                              "' -common_args -q -overwrite_original >/dev/null 2>'" + (dir / "errors") + "'";
  const int status = std::system(command.c_str());
  ASSERT_EQ(status, 0) << ReadFile(dir / "errors") << "exiftool failed on:\n" << argfile;
  ASSERT_EQ(ReadFile(dir / "errors"), "") << "on:\n" << argfile;
}

void WriteTaggedPhotos(const std::vector<TaggedFile>& files, int seed) {
  const auto level = static_cast<std::uint8_t>(40 + 50 * (seed % 4));
  for (const TaggedFile& file : files) WriteJpeg(file.path, FlatImage(48, 32, {level, 120, 200}));
  WriteTags(files);
}

std::vector<std::string> ExiftoolTags(const std::string& path) {
  const TempDir dir;
  const std::string command = "exiftool -a -G1 -s -n -x System:all -x File:all -x ExifTool:all -x Composite:all '" +
                              path + "' >'" + (dir / "tags") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << path;
  std::vector<std::string> lines;
  std::string line;
  for (const char c : ReadFile(dir / "tags")) {
    if (c != '\n') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  return lines;
}

std::string SidecarXmp(const std::vector<std::pair<std::string, std::string>>& descriptions) {
  std::string xmp =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
      "   <dc:description>\n"
      "    <rdf:Alt>\n";
  for (const auto& [lang, text] : descriptions)
    xmp += "     <rdf:li xml:lang=\"" + lang + "\">" + HtmlEscaped(text) + "</rdf:li>\n";
  xmp +=
      "    </rdf:Alt>\n"
      "   </dc:description>\n"
      "  </rdf:Description>\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"w\"?>\n";
  return xmp;
}

}  // namespace fotoloom::test
