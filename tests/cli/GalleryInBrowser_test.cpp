// Galleries of awkward file names made by fotoloom-cli, loaded page by page in headless Chromium.
// Skipped when no Chromium is installed (scripts/bootstrap.sh installs it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Chromium.h"
#include "CliProcess.h"
#include "core/GallerySettings.h"
#include "core/SettingsFile.h"
#include "core/TemplateSets.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A page that opens every gallery page in a frame, one after the other, and
// lists what the browser made of it: for each image its file path and pixel
// width (0 when it did not load), for each file link its path, and the text
// shown. Every field is URI-encoded so the dumped DOM can be read back exactly.
const char* const kProbe = R"(<!DOCTYPE html><html><body><pre id="out"></pre><script>
const pages = PAGES;
const out = document.getElementById('out');
const put = (kind, value) => { out.textContent += '@@' + kind + ' ' + encodeURIComponent(value) + '\n'; };
const file = (url) => decodeURIComponent(new URL(url).pathname);
function next(i) {
  if (i === pages.length) { put('END', ''); return; }
  const f = document.createElement('iframe');
  f.onload = () => {
    const d = f.contentDocument;
    put('PAGE', pages[i]);
    for (const img of d.images) put('IMG', file(img.src) + '|' + img.naturalWidth);
    for (const a of d.links) if (a.protocol === 'file:') put('LINK', file(a.href));
    put('TEXT', d.body.innerText);
    f.remove();
    next(i + 1);
  };
  f.src = pages[i].split('/').map(encodeURIComponent).join('/');
  document.body.appendChild(f);
}
next(0);
</script></body></html>
)";

struct PageReport {
  std::vector<std::pair<std::string, int>> images;  // path, natural width
  std::vector<std::string> links;
  std::string text;
};

// Loads the probe in headless Chromium and parses its report, page by page.
std::map<std::string, PageReport> LoadInBrowser(const std::string& chromium, const TempDir& dir,
                                                const std::vector<std::string>& pages) {
  // Each path as a script string: folder names may hold quotes, backslashes and line breaks.
  std::string list = "[";
  for (const std::string& p : pages) {
    list += '"';
    for (const char c : p) {
      if (c == '"' || c == '\\')
        list += std::string("\\") + c;
      else if (c == '\n')
        list += "\\n";
      else
        list += c;
    }
    list += "\",";
  }
  list += "]";
  std::string probe = kProbe;
  probe.replace(probe.find("PAGES"), 5, list);
  WriteFile(dir / "probe.html", probe);
  const std::string dom = test::DumpDom(chromium, dir / "profile", dir / "probe.html", 30000);

  std::map<std::string, PageReport> reports;
  std::string current;
  for (const test::ProbeRecord& record : test::ProbeRecords(dom)) {
    const std::string value = record.fields.empty() ? std::string() : record.fields[0];
    if (record.kind == "PAGE") {
      current = value;
      reports[current];
    } else if (record.kind == "IMG") {
      const std::size_t bar = value.rfind('|');
      reports[current].images.emplace_back(value.substr(0, bar), std::stoi(value.substr(bar + 1)));
    } else if (record.kind == "LINK") {
      reports[current].links.push_back(value);
    } else if (record.kind == "TEXT") {
      reports[current].text = value;
    } else if (record.kind == "END") {
      reports["END"];
    }
  }
  return reports;
}

// LoadInBrowser until the probe got through every page. On a loaded machine
// the browser can dump the page before its time budget let the probe finish;
// that says nothing about the gallery, so the load is tried again.
std::map<std::string, PageReport> LoadAllInBrowser(const std::string& chromium, const TempDir& dir,
                                                   const std::vector<std::string>& pages) {
  std::map<std::string, PageReport> reports;
  for (int attempt = 0; attempt < 3; ++attempt) {
    reports = LoadInBrowser(chromium, dir, pages);
    if (reports.erase("END") == 1) break;
  }
  return reports;
}

TEST(GalleryInBrowser, odd_names_show_as_they_are_and_every_image_and_link_resolves) {
  const std::string chromium = test::FindChromium();
  if (chromium.empty()) GTEST_SKIP() << "no chromium installed (scripts/bootstrap.sh installs it)";
  const char* data = std::getenv("FOTOLOOM_TEST_DATA");
  ASSERT_NE(data, nullptr) << "FOTOLOOM_TEST_DATA is not set";
  const std::string tiny = ReadFile(std::string(data) + "/browser/tiny.jpg");
  ASSERT_FALSE(tiny.empty());

  const std::vector<std::string> names = {"Tom & Jerry.jpg",
                                          "a\"b.jpg",
                                          "100% #1.jpg",
                                          "x<y>.jpg",
                                          "\xC3\xBCn\xC3\xAF"
                                          "c\xC3\xB6"
                                          "d\xC3\xA9.jpg",
                                          "space name.JPG",
                                          "why?.jpg",
                                          "back\\slash.jpg",
                                          "&amp;.jpg"};
  TempDir dir;
  fs::create_directory(dir / "in");
  for (const std::string& name : names) WriteFile(dir / ("in/" + name), tiny);
  // 1 x 2 thumbnails: first, middle and last pages of both kinds, so every
  // link that the default templates hide on some page shows on another.
  GallerySettings settings;
  settings.SetSortingMethodIndex(2);  // by name
  settings.SetRowsCount("1");
  settings.SetColsCount("2");
  settings.SetSubtitleIndex(1);  // the file name with its extension
  settings.SetCopyOrgSizedImages(true);
  settings.SetTitle("Odd names");
  Write_settings_file(dir / "odd.fl", settings);
  test::CliProcess cli({"run", dir / "odd.fl", "--input", dir / "in", "--output", dir / "out", "--yes", "--quiet"});
  ASSERT_EQ(cli.Wait(), 0) << cli.Err();
  for (const std::string& name : names)
    for (const char* prefix : {"t_", "n_", "b_"}) ASSERT_TRUE(fs::exists(dir / ("out/" + std::string(prefix) + name)));

  std::vector<std::string> pageNames;
  for (std::size_t k = 1; k <= (names.size() + 1) / 2; ++k)
    pageNames.push_back("out/page" + std::to_string(k) + ".htm");
  for (std::size_t j = 1; j <= names.size(); ++j) pageNames.push_back("out/image" + std::to_string(j) + ".htm");
  const auto reports = LoadAllInBrowser(chromium, dir, pageNames);
  for (const std::string& page : pageNames) ASSERT_TRUE(reports.contains(page)) << page << " was not reported";

  std::string thumbText;
  for (const std::string& page : pageNames) {
    SCOPED_TRACE(page);
    const PageReport& r = reports.at(page);
    EXPECT_FALSE(r.images.empty());
    for (const auto& [path, width] : r.images) {
      EXPECT_TRUE(fs::is_regular_file(path)) << path;
      EXPECT_GT(width, 0) << path;
    }
    for (const std::string& link : r.links) EXPECT_TRUE(fs::is_regular_file(link)) << link;
    if (page.starts_with("out/page")) thumbText += r.text;
  }
  // Each name shows under its thumbnail, and each image page (in gallery
  // order, which the test does not restate) begins with its name's stem.
  std::set<std::string> stems;
  std::set<std::string> headings;
  for (std::size_t j = 0; j < names.size(); ++j) {
    EXPECT_NE(thumbText.find(names[j]), std::string::npos) << names[j];
    stems.insert(names[j].substr(0, names[j].rfind('.')));
    const std::string& text = reports.at(pageNames[pageNames.size() - names.size() + j]).text;
    headings.insert(text.substr(0, text.find('\n')));
  }
  EXPECT_EQ(headings, stems);
}

// Whether link names the page one past the last of its kind in folder. Both
// sets link the next page also from a page that is the first and the last
// at once (as in any gallery of one page), and an album of sub-albums only
// has one page.
bool PastTheLastPage(const fs::path& link, const fs::path& folder) {
  static const std::regex page("(page|image)([0-9]+)\\.htm");
  std::smatch m;
  const std::string name = link.filename().string();
  if (link.parent_path() != folder || !std::regex_match(name, m, page) || fs::exists(link)) return false;
  const int number = std::stoi(m[2].str());
  return number > 1 && fs::exists(folder / (m[1].str() + std::to_string(number - 1) + ".htm"));
}

// Every page of a gallery of albums with odd folder names, made with the
// classic and with the responsive set: every image loads, every link to a
// file resolves, each album is reachable from the top through the album
// tables, and the responsive pages show the path and name of their album.
TEST(GalleryInBrowser, every_page_of_every_album_loads_and_links_within_the_tree) {
  const std::string chromium = test::FindChromium();
  if (chromium.empty()) GTEST_SKIP() << "no chromium installed (scripts/bootstrap.sh installs it)";
  const char* data = std::getenv("FOTOLOOM_TEST_DATA");
  ASSERT_NE(data, nullptr) << "FOTOLOOM_TEST_DATA is not set";
  const std::string tiny = ReadFile(std::string(data) + "/browser/tiny.jpg");
  ASSERT_FALSE(tiny.empty());

  // Folder -> its photos; "2024" has sub-albums only.
  const std::map<std::string, int> tree = {{"", 1},
                                           {"2024/Rome", 3},
                                           {"2024/100% #1", 1},
                                           {"Tom & Jerry", 2},
                                           {"\xC3\x86r\xC3\xB8 \xE6\x9D\xB1\xE4\xBA\xAC", 1},
                                           {"line\nbreak", 1},
                                           {"a\"q'uote", 1}};
  for (const char* set : {"classic", "responsive"}) {
    SCOPED_TRACE(set);
    TempDir dir;
    for (const auto& [folder, photos] : tree) {
      const std::string in = dir / ("in/" + folder);
      fs::create_directories(in);
      for (int i = 1; i <= photos; ++i) WriteFile(in + "/p" + std::to_string(i) + ".jpg", tiny);
    }
    GallerySettings settings;
    UseTemplateSet(settings, *FindTemplateSet(set));
    settings.SetSortingMethodIndex(2);
    settings.SetRowsCount("1");
    settings.SetColsCount("2");
    settings.SetTitle("Trips");
    settings.SetCopyOrgSizedImages(true);
    Write_settings_file(dir / "albums.fl", settings);
    test::CliProcess cli(
        {"run", dir / "albums.fl", "--albums", "--input", dir / "in", "--output", dir / "out", "--yes", "--quiet"});
    ASSERT_EQ(cli.Wait(), 0) << cli.Err();

    std::vector<std::string> pageNames;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "out"))
      if (entry.path().extension() == ".htm") pageNames.push_back(entry.path().lexically_relative(dir.path()).string());
    ASSERT_GE(pageNames.size(), 2 * tree.size());
    const auto reports = LoadAllInBrowser(chromium, dir, pageNames);

    std::set<std::string> linked;
    for (const std::string& page : pageNames) {
      SCOPED_TRACE(page);
      ASSERT_TRUE(reports.contains(page)) << "not reported";
      const PageReport& r = reports.at(page);
      EXPECT_FALSE(r.images.empty());
      for (const auto& [path, width] : r.images) {
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
        EXPECT_GT(width, 0) << path;
      }
      const fs::path folder = fs::path(dir / page).parent_path();
      for (const std::string& link : r.links) {
        if (!PastTheLastPage(link, folder)) {
          EXPECT_TRUE(fs::is_regular_file(link)) << link;
        }
        linked.insert(fs::path(link).lexically_relative(dir / "out").string());
      }
    }
    // Every album's first page is linked from its parent's.
    for (const auto& [folder, photos] : tree) {
      if (!folder.empty()) {
        EXPECT_EQ(linked.count(folder + "/page1.htm"), 1u) << folder;
      }
    }
    EXPECT_EQ(linked.count("2024/page1.htm"), 1u);
    const std::string top = reports.at("out/page1.htm").text;
    EXPECT_NE(top.find("Tom & Jerry"), std::string::npos) << top;
    EXPECT_NE(top.find("4 photos"), std::string::npos) << top;  // 2024: 3 + 1
    if (std::string(set) == "responsive") {
      const std::string rome = reports.at("out/2024/Rome/page1.htm").text;
      EXPECT_NE(rome.find("Trips \u203A 2024 \u203A Rome"), std::string::npos) << rome;
      EXPECT_NE(reports.at("out/2024/100% #1/image1.htm").text.find("100% #1"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace fotoloom
