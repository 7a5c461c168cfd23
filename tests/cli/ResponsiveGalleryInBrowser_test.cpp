// Responsive galleries made by fotoloom-cli, laid out in headless Chromium at a phone's and a desktop's size and
// walked with the keyboard. Skipped when no Chromium is installed (scripts/bootstrap.sh installs it).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <future>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Chromium.h"
#include "CliProcess.h"
#include "core/GallerySettings.h"
#include "core/SettingsFile.h"
#include "core/TemplateSets.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFile;

constexpr int kRows = 3;
constexpr int kCols = 4;

struct Viewport {
  int width;
  int height;
  const char* name;
};
constexpr std::array<Viewport, 3> kViewports = {
    {{390, 844, "phone"}, {844, 390, "phone_landscape"}, {1366, 768, "desktop"}}};
// Wider than this, the thumbnails keep the grid of the settings.
constexpr int kNarrow = 640;

// The colours of page 3, and as the browser reports them.
constexpr Color kBackground = Rgb(16, 32, 48);
constexpr Color kText = Rgb(208, 224, 240);
constexpr Color kLink = Rgb(255, 192, 0);
const char* const kBackgroundCss = "rgb(16, 32, 48)";
const char* const kTextCss = "rgb(208, 224, 240)";
const char* const kLinkCss = "rgb(255, 192, 0)";

// A photo of width x height: a colour wash inside a white frame, so that a
// screenshot shows at once whether it is cut off.
std::string Photo(int width, int height) {
  Image image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.pixel(x, y);
      const bool frame = x < 12 || y < 12 || x >= width - 12 || y >= height - 12;
      p[0] = frame ? 255 : static_cast<std::uint8_t>(255 * x / width);
      p[1] = frame ? 255 : 96;
      p[2] = frame ? 255 : static_cast<std::uint8_t>(255 * y / height);
    }
  JpegCodec codec;
  codec.Quality = 80;
  std::string jpeg;
  codec.Encode(image, jpeg);
  return jpeg;
}

// One gallery: count photos, the odd names first, landscape and portrait by turns.
struct Gallery {
  int photos;
  std::string folder;  // "out<count>", beside the probe
  bool sharp = false;  // with sharp thumbnails and WebP copies
  int thumbPages() const { return (photos + kRows * kCols - 1) / (kRows * kCols); }
  std::string thumbPage(int k) const { return folder + "/page" + std::to_string(k) + ".htm"; }
  std::string imagePage(int j) const { return folder + "/image" + std::to_string(j) + ".htm"; }
  // Thumbnails on page k.
  int cellsOn(int k) const { return std::min(kRows * kCols, photos - (k - 1) * kRows * kCols); }
};

void MakeGallery(const TempDir& dir, const Gallery& gallery) {
  static const std::string landscape = Photo(1200, 800);
  static const std::string portrait = Photo(600, 900);
  const std::string in = dir / ("in" + std::to_string(gallery.photos));
  fs::create_directory(in);
  for (int i = 1; i <= gallery.photos; ++i) {
    const std::string name = i == 1   ? "Tom & Jerry.jpg"
                             : i == 2 ? "100% #1.jpg"
                                      : "photo " + std::to_string(i) + ".jpg";
    WriteFile(in + "/" + name, i % 2 == 1 ? landscape : portrait);
  }
  GallerySettings settings;
  UseTemplateSet(settings, *FindTemplateSet("responsive"));
  settings.SetMaxWidthImage("1200");  // both photos taller than a desktop window leaves room for
  settings.SetMaxHeightImage("900");
  settings.SetRowsCount(std::to_string(kRows));
  settings.SetColsCount(std::to_string(kCols));
  settings.SetSubtitleIndex(1);
  settings.SetSortingMethodIndex(2);  // by name
  settings.SetTitle("Odd names");
  settings.SetBackgroundColor(kBackground);
  settings.SetTextColor(kText);
  settings.SetLinkColor(kLink);
  settings.SetVisitedLinkColor(Rgb(192, 128, 255));
  if (gallery.sharp) {
    settings.SetThumbnails2x(true);
    settings.SetWebP(true);
  }
  Write_settings_file(dir / "responsive.fl", settings);
  test::CliProcess cli(
      {"run", dir / "responsive.fl", "--input", in, "--output", dir / gallery.folder, "--yes", "--quiet"});
  ASSERT_EQ(cli.Wait(), 0) << cli.Err();
}

// Opens each job's page in a frame. A layout job (w, h) sizes the frame as
// the window, scrolls to each image that has not loaded (a lazy one) and
// waits for it, and then reports the page's scroll width, the body's colours
// and where each image (with the file the browser chose for it), thumbnail
// cell and navigation link lies. A key job presses key on the page, a swipe
// job (dx, dy) drags a pointer across the photo, and each reports the page
// the frame then shows, or "-" when nothing happened. Fields are URI-encoded.
const char* const kProbe = R"(<!DOCTYPE html><html><body><pre id="out"></pre><script>
const jobs = JOBS;
const out = document.getElementById('out');
const put = (kind, ...fields) => {
  out.textContent += '@@' + kind + fields.map(f => ' ' + (encodeURIComponent(String(f)) || '-')).join('') + '\n';
};
const file = (url) => decodeURIComponent(new URL(url).pathname);
const box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; };
function layout(f, job, done) {
  const d = f.contentDocument, w = f.contentWindow, root = d.documentElement;
  const report = () => {
    w.scrollTo(0, 0);
    const body = w.getComputedStyle(d.body);
    put('PAGE', job.page, job.w);
    put('VIEW', root.scrollWidth, root.clientWidth, root.clientHeight, body.backgroundColor, body.color);
    for (const img of d.images)
      put('IMG', file(img.src), img.complete ? img.naturalWidth : 0, img.naturalHeight, ...box(img),
          img.currentSrc ? file(img.currentSrc) : '');
    for (const cell of d.querySelectorAll('td.thumbcells, .thumbgrid figure')) put('CELL', ...box(cell));
    for (const a of d.querySelectorAll('nav a'))
      if (a.offsetParent) put('NAV', file(a.href), w.getComputedStyle(a).color, ...box(a));
    done();
  };
  const waiting = [...d.images].filter(img => !img.complete);
  let left = waiting.length;
  if (left === 0) return report();
  const timer = setTimeout(report, 10000);
  const loaded = () => { if (--left === 0) { clearTimeout(timer); report(); } };
  for (const img of waiting) {
    img.addEventListener('load', loaded, {once: true});
    img.addEventListener('error', loaded, {once: true});
    img.scrollIntoView();
  }
}
function swipe(f, job, done) {
  const w = f.contentWindow;
  let reported = false;
  const finish = (to) => { if (!reported) { reported = true; put('SWIPE', job.page, job.dx, job.dy, to); done(); } };
  f.onload = () => { try { finish(file(w.location.href)); } catch (e) { finish('unreadable'); } };
  const target = w.document.querySelector('[data-swipe]');
  const r = target.getBoundingClientRect(), x = r.left + r.width / 2, y = r.top + r.height / 2;
  const at = (type, dx, dy) => new w.PointerEvent(type, {pointerId: 1, pointerType: 'touch', isPrimary: true,
      clientX: x + dx, clientY: y + dy, bubbles: true, cancelable: true});
  target.dispatchEvent(at('pointerdown', 0, 0));
  target.dispatchEvent(at('pointermove', job.dx / 2, job.dy / 2));
  target.dispatchEvent(at('pointerup', job.dx, job.dy));
  setTimeout(() => finish(''), 1000);
}
function press(f, job, done) {
  const w = f.contentWindow;
  let reported = false;
  const finish = (to) => { if (!reported) { reported = true; put('KEY', job.page, job.key, to); done(); } };
  f.onload = () => { try { finish(file(w.location.href)); } catch (e) { finish('unreadable'); } };
  const e = new w.KeyboardEvent('keydown', {key: job.key, bubbles: true, cancelable: true});
  w.document.body.dispatchEvent(e);
  if (!e.defaultPrevented) setTimeout(() => finish(''), 50);
}
// Frames load a few at a time; each job's records are written in one go.
let started = 0, finished = 0;
function start() {
  for (; started < jobs.length && started - finished < 6; ++started) run(jobs[started]);
  if (finished === jobs.length) put('END');
}
function run(job) {
  const f = document.createElement('iframe');
  f.style.cssText = 'border:0;width:' + (job.w || 800) + 'px;height:' + (job.h || 600) + 'px';
  f.onload = () => {
    const done = () => { f.remove(); ++finished; start(); };
    try {
      if (job.key) press(f, job, done);
      else if (job.dx !== undefined) swipe(f, job, done);
      else layout(f, job, done);
    } catch (e) {
      put('ERROR', job.page, e);
      done();
    }
  };
  f.src = encodeURI(job.page);
  document.body.appendChild(f);
}
start();
</script></body></html>
)";

struct Box {
  double left = 0, top = 0, right = 0, bottom = 0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

Box BoxOf(const std::vector<std::string>& fields, std::size_t first) {
  return {std::stod(fields[first]), std::stod(fields[first + 1]), std::stod(fields[first + 2]),
          std::stod(fields[first + 3])};
}

struct ShownImage {
  std::string path;
  std::string chosen;  // the file the browser chose (srcset, <picture>)
  int naturalWidth = 0;
  int naturalHeight = 0;
  Box box;
};

struct Layout {
  int scrollWidth = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  std::string background;
  std::string color;
  std::vector<ShownImage> images;
  std::vector<Box> cells;
  std::vector<std::pair<std::string, Box>> links;  // colour, box
};

struct Report {
  std::map<std::pair<std::string, int>, Layout> layouts;              // (page, window width)
  std::map<std::pair<std::string, std::string>, std::string> keys;    // (page, key) -> page shown then, "-" for none
  std::map<std::pair<std::string, std::string>, std::string> swipes;  // (page, "dx,dy") likewise
  std::vector<std::string> console;                                   // the browser's console messages
  bool complete = false;
};

// Runs the jobs in a probe page named name, with flags added to the browser's command line.
Report RunProbe(const std::string& chromium, const TempDir& dir, const std::string& jobs,
                const std::string& name = "probe", const std::string& flags = "") {
  std::string probe = kProbe;
  probe.replace(probe.find("JOBS"), 4, jobs);
  const std::string page = dir / (name + ".html");
  const std::string log = dir / (name + ".log");
  WriteFile(page, probe);
  // On a loaded machine the browser can dump the page before the probe got
  // through every job; that says nothing about the gallery, so it runs again.
  Report report;
  for (int attempt = 0; attempt < 3 && !report.complete; ++attempt) {
    report = Report{};
    Layout* current = nullptr;
    for (const test::ProbeRecord& r :
         test::ProbeRecords(test::DumpDom(chromium, dir / (name + "-profile"), page, 60000, flags, log))) {
      const auto& f = r.fields;
      if (r.kind == "PAGE" && f.size() == 2) {
        current = &report.layouts[{f[0], std::stoi(f[1])}];
      } else if (r.kind == "VIEW" && f.size() == 5 && current) {
        *current = {std::stoi(f[0]), std::stoi(f[1]), std::stoi(f[2]), f[3], f[4], {}, {}, {}};
      } else if (r.kind == "IMG" && f.size() == 8 && current) {
        current->images.push_back({f[0], f[7], std::stoi(f[1]), std::stoi(f[2]), BoxOf(f, 3)});
      } else if (r.kind == "CELL" && f.size() == 4 && current) {
        current->cells.push_back(BoxOf(f, 0));
      } else if (r.kind == "NAV" && f.size() == 6 && current) {
        current->links.emplace_back(f[1], BoxOf(f, 2));
      } else if (r.kind == "KEY" && f.size() == 3) {
        report.keys[{f[0], f[1]}] = f[2];
      } else if (r.kind == "SWIPE" && f.size() == 4) {
        report.swipes[{f[0], f[1] + "," + f[2]}] = f[3];
      } else if (r.kind == "END") {
        report.complete = true;
      }
    }
    report.console = test::ConsoleMessages(log);
  }
  return report;
}

// The distinct values of edge (rounded to a pixel) over boxes.
std::set<long> Distinct(const std::vector<Box>& boxes, double Box::*edge) {
  std::set<long> values;
  for (const Box& b : boxes) values.insert(std::lround(b.*edge));
  return values;
}

// The image pages the keyboard walk visits: all of a small gallery; of a
// larger one the ends and the pages either side of each thumbnail page break.
bool Walked(const Gallery& g, int j) {
  const int perPage = kRows * kCols;
  return g.photos <= perPage || j == 1 || j == g.photos || j % perPage == 0 || j % perPage == 1;
}

std::string Job(const std::string& page, const Viewport& v) {
  return "{page:'" + page + "',w:" + std::to_string(v.width) + ",h:" + std::to_string(v.height) + "},";
}
std::string Job(const std::string& page, const char* key) { return "{page:'" + page + "',key:'" + key + "'},"; }
std::string Job(const std::string& page, int dx, int dy) {
  return "{page:'" + page + "',dx:" + std::to_string(dx) + ",dy:" + std::to_string(dy) + "},";
}

// The file name part of a path.
std::string NameOf(const std::string& path) { return fs::path(path).filename().string(); }

TEST(ResponsiveGalleryInBrowser, fits_phone_and_desktop_windows_and_follows_the_keys_and_swipes) {
  const std::string chromium = test::FindChromium();
  if (chromium.empty()) GTEST_SKIP() << "no chromium installed (scripts/bootstrap.sh installs it)";
  TempDir dir;
  const std::vector<Gallery> galleries = {{1, "out1"}, {7, "out7", true}, {30, "out30"}};
  for (const Gallery& g : galleries) ASSERT_NO_FATAL_FAILURE(MakeGallery(dir, g));
  const auto path = [&](const std::string& page) { return (dir.path() / page).string(); };

  // Pictures to look at, one for each window size: a thumbnail page and the
  // pages of "Tom & Jerry" (landscape) and "100% #1" (portrait). They are
  // taken while the probe runs (a browser takes seconds to start).
  std::vector<std::string> pictures = {path(galleries[1].thumbPage(1))};
  for (const char* alt : {"alt=\"Tom &amp; Jerry\"", "alt=\"100% #1\""})
    for (int j = 1; j <= galleries[1].photos; ++j)
      if (test::ReadFile(path(galleries[1].imagePage(j))).find(alt) != std::string::npos)
        pictures.push_back(path(galleries[1].imagePage(j)));
  ASSERT_EQ(pictures.size(), 3u);
  const std::string shots = FOTOLOOM_SCREENSHOT_DIR;
  fs::create_directories(shots);
  fs::create_directory(dir / "sheets");
  std::vector<test::ScreenshotSheet> sheets;
  for (const Viewport& v : kViewports) {
    test::ScreenshotSheet& sheet = sheets.emplace_back();
    for (const std::string& page : pictures) sheet.views.push_back({page, v.width, v.height});
    sheet.sideBySide = v.width < 1000;
    sheet.png = shots + "/responsive_" + v.name + ".png";
  }
  auto screenshots =
      std::async(std::launch::async, [&] { return test::Screenshots(chromium, dir / "sheets", sheets); });

  // Screens of two and three device pixels to a CSS pixel, each in a browser
  // of its own, beside the main probe: the thumbnails they load.
  const Gallery& sharp = galleries[1];
  const std::string denseJobs =
      "[" + Job(sharp.thumbPage(1), kViewports[0]) + Job(galleries[0].thumbPage(1), kViewports[0]) + "]";
  std::vector<std::future<Report>> dense;
  for (const int scale : {2, 3})
    dense.push_back(std::async(std::launch::async, [&, scale] {
      return RunProbe(chromium, dir, denseJobs, "dense" + std::to_string(scale),
                      "--force-device-scale-factor=" + std::to_string(scale));
    }));

  std::string jobs = "[";
  for (const Gallery& g : galleries) {
    for (const Viewport& v : kViewports) {
      for (int k = 1; k <= g.thumbPages(); ++k) jobs += Job(g.thumbPage(k), v);
      for (int j = 1; j <= g.photos; ++j) jobs += Job(g.imagePage(j), v);
    }
    for (const char* key : {"ArrowRight", "ArrowLeft", "Escape"}) {
      for (int k = 1; k <= g.thumbPages(); ++k) jobs += Job(g.thumbPage(k), key);
      for (int j = 1; j <= g.photos; ++j)
        if (Walked(g, j)) jobs += Job(g.imagePage(j), key);
    }
  }
  // Swipes across the photo: to the left, to the right, and one mostly downwards.
  const std::vector<std::pair<int, int>> swipes = {{-120, 10}, {120, -10}, {-60, 150}};
  for (const int j : {1, 4, 7})
    for (const auto& [dx, dy] : swipes) jobs += Job(sharp.imagePage(j), dx, dy);
  jobs += "]";
  const Report report = RunProbe(chromium, dir, jobs);
  ASSERT_TRUE(report.complete) << "the probe did not get through its jobs";
  EXPECT_EQ(report.console, std::vector<std::string>{}) << "the pages wrote to the console";

  const auto checkPage = [&](const std::string& page, const Viewport& v) -> const Layout* {
    SCOPED_TRACE(page + " at " + v.name);
    const auto found = report.layouts.find({page, v.width});
    if (found == report.layouts.end()) {
      ADD_FAILURE() << "not reported";
      return nullptr;
    }
    const Layout& l = found->second;
    EXPECT_LE(l.scrollWidth, l.clientWidth) << "scrolls sideways";
    EXPECT_EQ(l.background, kBackgroundCss);
    EXPECT_EQ(l.color, kTextCss);
    for (const auto& [color, box] : l.links) {
      EXPECT_EQ(color, kLinkCss);
      EXPECT_GE(box.left, 0);
      EXPECT_LE(box.right, l.clientWidth + 0.5);
    }
    EXPECT_FALSE(l.images.empty());
    for (const ShownImage& image : l.images) {
      EXPECT_GT(image.naturalWidth, 0) << image.path << " did not load";
      EXPECT_TRUE(fs::is_regular_file(image.path)) << image.path;
      EXPECT_TRUE(fs::is_regular_file(image.chosen)) << image.chosen;
    }
    return &l;
  };

  for (const Gallery& g : galleries) {
    for (const Viewport& v : kViewports) {
      for (int k = 1; k <= g.thumbPages(); ++k) {
        const Layout* l = checkPage(g.thumbPage(k), v);
        if (l == nullptr) continue;
        SCOPED_TRACE(g.thumbPage(k) + " at " + v.name);
        ASSERT_EQ(l->cells.size(), static_cast<std::size_t>(g.cellsOn(k)));
        const std::size_t rows = Distinct(l->cells, &Box::top).size();
        const std::size_t columns = Distinct(l->cells, &Box::left).size();
        if (v.width > kNarrow) {
          // The chosen grid: full rows of kCols, the last one as long as the photos last.
          EXPECT_EQ(rows, static_cast<std::size_t>((g.cellsOn(k) + kCols - 1) / kCols));
          EXPECT_EQ(columns, static_cast<std::size_t>(std::min(g.cellsOn(k), kCols)));
        } else if (g.cellsOn(k) > 2) {
          EXPECT_EQ(columns, 2u) << "the thumbnails do not flow into the phone's width";
        }
        // One CSS pixel is one device pixel here: the plain thumbnail, as
        // WebP where the gallery has it.
        for (const ShownImage& image : l->images) {
          EXPECT_EQ(NameOf(image.chosen), NameOf(image.path) + (g.sharp ? ".webp" : "")) << image.path;
        }
      }
      for (int j = 1; j <= g.photos; ++j) {
        const Layout* l = checkPage(g.imagePage(j), v);
        if (l == nullptr) continue;
        SCOPED_TRACE(g.imagePage(j) + " at " + v.name);
        ASSERT_EQ(l->images.size(), 1u);
        const ShownImage& photo = l->images[0];
        const Box& b = photo.box;
        // Inside the window, as large as the room allows, never enlarged, not distorted.
        EXPECT_GE(b.left, 0);
        EXPECT_GE(b.top, 0);
        EXPECT_LE(b.right, l->clientWidth + 0.5);
        EXPECT_LE(b.bottom, l->clientHeight + 0.5);
        EXPECT_LE(b.width(), photo.naturalWidth + 0.5);
        EXPECT_TRUE(b.width() >= 0.8 * l->clientWidth || b.height() >= 0.6 * l->clientHeight)
            << b.width() << " x " << b.height() << " in " << l->clientWidth << " x " << l->clientHeight;
        EXPECT_NEAR(b.width() * photo.naturalHeight, b.height() * photo.naturalWidth,
                    photo.naturalWidth + photo.naturalHeight);
        // Every navigation link is in view without scrolling.
        EXPECT_FALSE(l->links.empty());
        for (const auto& [color, box] : l->links) EXPECT_LE(box.bottom, l->clientHeight + 0.5);
      }
    }
  }

  // Right and Left go one page on, one page back, and nowhere beyond the
  // ends; Escape goes from an image to the thumbnail page that holds it.
  const auto pressed = [&](const std::string& page, const char* key) {
    const auto found = report.keys.find({page, key});
    return found == report.keys.end() ? std::string("not reported") : found->second;
  };
  for (const Gallery& g : galleries) {
    for (int k = 1; k <= g.thumbPages(); ++k) {
      SCOPED_TRACE(g.thumbPage(k));
      EXPECT_EQ(pressed(g.thumbPage(k), "ArrowRight"), k < g.thumbPages() ? path(g.thumbPage(k + 1)) : "-");
      EXPECT_EQ(pressed(g.thumbPage(k), "ArrowLeft"), k > 1 ? path(g.thumbPage(k - 1)) : "-");
      EXPECT_EQ(pressed(g.thumbPage(k), "Escape"), "-");
    }
    for (int j = 1; j <= g.photos; ++j) {
      if (!Walked(g, j)) continue;
      SCOPED_TRACE(g.imagePage(j));
      EXPECT_EQ(pressed(g.imagePage(j), "ArrowRight"), j < g.photos ? path(g.imagePage(j + 1)) : "-");
      EXPECT_EQ(pressed(g.imagePage(j), "ArrowLeft"), j > 1 ? path(g.imagePage(j - 1)) : "-");
      EXPECT_EQ(pressed(g.imagePage(j), "Escape"), path(g.thumbPage((j - 1) / (kRows * kCols) + 1)));
    }
  }

  // Swiping to the left goes on, to the right back, and a mostly vertical
  // swipe or one beyond an end of the sequence does nothing.
  const auto swiped = [&](int j, int dx, int dy) {
    const auto found = report.swipes.find({sharp.imagePage(j), std::to_string(dx) + "," + std::to_string(dy)});
    return found == report.swipes.end() ? std::string("not reported") : found->second;
  };
  EXPECT_EQ(swiped(1, -120, 10), path(sharp.imagePage(2)));
  EXPECT_EQ(swiped(1, 120, -10), "-");
  EXPECT_EQ(swiped(4, -120, 10), path(sharp.imagePage(5)));
  EXPECT_EQ(swiped(4, 120, -10), path(sharp.imagePage(3)));
  EXPECT_EQ(swiped(4, -60, 150), "-");
  EXPECT_EQ(swiped(7, -120, 10), "-");
  EXPECT_EQ(swiped(7, 120, -10), path(sharp.imagePage(6)));

  // On dense screens the gallery with sharp thumbnails shows its "t2_" WebP
  // copies, the others their only thumbnail.
  for (std::future<Report>& run : dense) {
    const Report r = run.get();
    ASSERT_TRUE(r.complete) << "the probe of a dense screen did not get through its jobs";
    EXPECT_EQ(r.console, std::vector<std::string>{});
    EXPECT_EQ(r.layouts.size(), 2u);
    for (const auto& [page, l] : r.layouts) {
      SCOPED_TRACE(page.first);
      EXPECT_FALSE(l.images.empty());
      for (const ShownImage& image : l.images) {
        const std::string name = NameOf(image.path);
        EXPECT_GT(image.naturalWidth, 0) << name;
        if (page.first == sharp.thumbPage(1))
          EXPECT_EQ(NameOf(image.chosen), "t2_" + name.substr(2) + ".webp");
        else
          EXPECT_EQ(NameOf(image.chosen), name);
      }
    }
  }

  const std::vector<std::string> missing = screenshots.get();
  for (const std::string& png : missing) ADD_FAILURE() << png << " was not written";
}

}  // namespace
}  // namespace fotoloom
