#include "imaging/ImageStages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "HostileJpegs.h"
#include "JpegFixtures.h"
#include "WriterFixtures.h"
#include "imaging/WebpDecoder.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::Configure;
using test::Exists;
using test::Indexes;
using test::Names;
using test::Photos;
using test::RunRecord;
using test::RunWriter;
using test::TempDir;
using test::Written;
namespace fs = std::filesystem;

// The two writers set up alike, the thumbnails at 100 pixels and quality 70.
struct Writers {
  tscaling_file scaling;
  tthumb_file thumbs;
  ImageStages stages{scaling, thumbs};

  Writers(const std::vector<std::string>& files, const std::string& out, int jobs, bool filter) {
    Configure(scaling, files, out, jobs);
    Configure(thumbs, files, out, jobs);
    thumbs.MaxWidth = thumbs.MaxHeight = 100;
    thumbs.Quality = 70;
    thumbs.FilterIndex = 6;
    scaling.UseFilter = thumbs.UseFilter = filter;
  }
};

// The names Names gives, in the order of AllNames.
std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Every name in the folder, hidden ones included, sorted.
std::vector<std::string> AllNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void ExpectSameFiles(const TempDir& a, const TempDir& b) {
  ASSERT_EQ(AllNames(a.str()), AllNames(b.str()));
  for (const std::string& name : AllNames(a.str()))
    EXPECT_TRUE(test::ReadFile(a / name) == test::ReadFile(b / name)) << name;
}

TEST(ImageStages, write_the_bytes_and_events_of_the_two_writers_alone) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 7);  // baseline, progressive, grey, turned
  for (int jobs : {1, 2}) {
    for (bool filter : {false, true}) {
      SCOPED_TRACE(std::to_string(jobs) + (filter ? " jobs, filtered" : " jobs, plain"));
      TempDir alone;
      Writers a(files, alone.str(), jobs, filter);
      EXPECT_EQ(RunWriter(a.scaling, [&] { a.scaling.Create_images(); }).progress, Indexes(0, 7));
      EXPECT_EQ(RunWriter(a.thumbs, [&] { a.thumbs.Create_thumbnails(); }).progress, Indexes(0, 7));

      TempDir fused;
      Writers b(files, fused.str(), jobs, filter);
      const RunRecord s = RunWriter(b.scaling, [&] { b.stages.Create_images(); });
      EXPECT_EQ(s.progress, Indexes(0, 7));
      EXPECT_EQ(Written(fused, "t_", 7), std::vector<std::string>{});  // thumbnails wait for their stage
      EXPECT_GT(b.stages.Waiting().BytesInMemory(), 0u);
      const RunRecord t = RunWriter(b.thumbs, [&] { b.stages.Create_thumbnails(); });
      EXPECT_EQ(t.progress, Indexes(0, 7));
      EXPECT_FALSE(s.offThread || t.offThread);
      EXPECT_EQ(s.error + t.error, "");
      ExpectSameFiles(alone, fused);
      EXPECT_EQ(b.stages.Waiting().BytesInMemory(), 0u);  // forgotten once written
    }
  }
}

// The "t2_" thumbnail is the thumbnail writer's own at twice the size, and
// every image has its WebP file beside it: from one decode per photo (the
// photos are gone before the thumbnail stage), kept in memory or spilled,
// and from the thumbnail stage's own decode when not made along.
TEST(ImageStages, sharp_thumbnails_and_webp_files_come_from_the_one_decode) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 5);
  TempDir reference;  // the writers alone, the thumbnail writer at twice the size
  {
    Writers r(files, reference.str(), 1, true);
    r.scaling.Create_images();
    r.thumbs.MaxWidth = r.thumbs.MaxHeight = 200;
    r.thumbs.Create_thumbnails();
  }
  struct Case {
    int jobs;
    bool along;
    bool spill;
  };
  for (const Case c : {Case{1, true, false}, Case{2, true, true}, Case{2, false, false}}) {
    SCOPED_TRACE(std::to_string(c.jobs) + (c.along ? " jobs, along" : " jobs, alone") + (c.spill ? ", spilled" : ""));
    TempDir copies;
    for (const std::string& file : files) fs::copy_file(file, copies / fs::path(file).filename());
    std::vector<std::string> photos;
    for (const std::string& file : files) photos.push_back(copies / fs::path(file).filename());
    TempDir out;
    Writers w(photos, out.str(), c.jobs, true);
    w.thumbs.SharpThumbnails = true;
    w.scaling.WebP = w.thumbs.WebP = true;
    w.stages.ThumbnailsAlong = c.along;
    if (c.spill) w.stages.Waiting().MemoryLimit = 1;
    w.stages.Create_images();
    if (c.along) fs::remove_all(copies.path());  // the thumbnail stage reads no photo
    const RunRecord t = RunWriter(w.thumbs, [&] { w.stages.Create_thumbnails(); });
    EXPECT_EQ(t.error, "");
    EXPECT_EQ(t.progress, Indexes(0, 5));
    for (int i = 0; i < 5; ++i) {
      const std::string name = "p" + std::to_string(i) + ".jpg";
      EXPECT_TRUE(test::ReadFile(out / ("n_" + name)) == test::ReadFile(reference / ("n_" + name))) << name;
      EXPECT_TRUE(test::ReadFile(out / ("t2_" + name)) == test::ReadFile(reference / ("t_" + name))) << name;
      for (const std::string prefix : {"n_", "t_", "t2_"}) {
        // Each WebP file holds the pixels of the JPEG beside it.
        const Image jpeg = test::Decode(out / (prefix + name));
        WebpDecoder decoder;
        Image webp;
        decoder.Load(out / (prefix + name + ".webp"), webp);
        ASSERT_EQ(webp.width(), jpeg.width()) << prefix << name;
        ASSERT_EQ(webp.height(), jpeg.height()) << prefix << name;
        double sum = 0;
        for (int y = 0; y < jpeg.height(); ++y)
          for (std::size_t x = 0; x < jpeg.stride(); ++x) sum += std::abs(int(jpeg.row(y)[x]) - int(webp.row(y)[x]));
        // Both lossy (the thumbnails at quality 70) over a pattern of fine
        // detail; a wrong channel, row or offset would differ by dozens.
        EXPECT_LT(sum / double(jpeg.stride() * std::size_t(jpeg.height())), 10.0) << prefix << name;
      }
    }
    EXPECT_EQ(AllNames(out.str()).size(), 5u * 6);  // nothing else, hidden or not
  }
}

// Photos of one name from two folders go through one run of both stages,
// each into its own subfolder, with the bytes each folder gets alone.
TEST(ImageStages, each_photo_goes_into_its_own_subfolder) {
  TempDir first;
  TempDir second;
  std::vector<std::string> files = Photos(first, 3);
  // Two other pictures under the names p0.jpg and p1.jpg.
  const std::vector<std::string> more = Photos(second, 5);
  fs::rename(more[3], second / "p0.jpg");
  fs::rename(more[4], second / "p1.jpg");
  files.push_back(second / "p0.jpg");
  files.push_back(second / "p1.jpg");
  TempDir together;
  fs::create_directories(together.path() / "a/b");
  fs::create_directories(together.path() / "c");
  Writers w(files, together.str(), 2, true);
  w.scaling.Subfolders = {"a/b", "a/b", "a/b", "c"};  // the last photo has none: the output folder itself
  w.thumbs.Subfolders = w.scaling.Subfolders;
  EXPECT_EQ(RunWriter(w.scaling, [&] { w.stages.Create_images(); }).progress, Indexes(0, 5));
  EXPECT_EQ(RunWriter(w.thumbs, [&] { w.stages.Create_thumbnails(); }).progress, Indexes(0, 5));

  const auto alone = [](const std::vector<std::string>& photos, const TempDir& out) {
    Writers a(photos, out.str(), 1, true);
    a.scaling.Create_images();
    a.thumbs.Create_thumbnails();
  };
  TempDir ab;
  TempDir c;
  TempDir top;
  alone({files[0], files[1], files[2]}, ab);
  alone({files[3]}, c);
  alone({files[4]}, top);
  for (const std::string prefix : {"n_", "t_"}) {
    for (const std::string name : {"p0.jpg", "p1.jpg", "p2.jpg"})
      EXPECT_TRUE(test::ReadFile(together / ("a/b/" + prefix + name)) == test::ReadFile(ab / (prefix + name)));
    EXPECT_TRUE(test::ReadFile(together / ("c/" + prefix + "p0.jpg")) == test::ReadFile(c / (prefix + "p0.jpg")));
    EXPECT_TRUE(test::ReadFile(together / (prefix + "p1.jpg")) == test::ReadFile(top / (prefix + "p1.jpg")));
    EXPECT_FALSE(test::ReadFile(together / (prefix + "p1.jpg")).empty());
  }
  EXPECT_EQ(AllNames(together.str()), (std::vector<std::string>{"a", "c", "n_p1.jpg", "t_p1.jpg"}));
}

TEST(ImageStages, thumbnails_beyond_the_memory_bound_wait_in_a_file_that_has_no_name) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 12);
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir alone;
    Writers a(files, alone.str(), jobs, true);
    a.scaling.Create_images();
    a.thumbs.Create_thumbnails();

    TempDir fused;
    Writers b(files, fused.str(), jobs, true);
    const std::size_t firstThumbnail = fs::file_size(alone / "t_p0.jpg");
    b.stages.Waiting().MemoryLimit = 3 * firstThumbnail;
    b.stages.Create_images();
    const WaitingThumbnails& waiting = b.stages.Waiting();
    EXPECT_LE(waiting.BytesInMemory(), 3 * firstThumbnail);
    EXPECT_GT(waiting.BytesInFile(), 5 * firstThumbnail);
    EXPECT_FALSE(waiting.FilePath().empty());
    EXPECT_EQ(AllNames(fused.str()), Sorted(Names("n_", 0, 12)));  // nothing else, hidden or not
    b.stages.Create_thumbnails();
    EXPECT_TRUE(waiting.FilePath().empty());
    ExpectSameFiles(alone, fused);
  }
}

TEST(ImageStages, a_cancel_in_the_scaled_image_stage_leaves_no_thumbnail) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 30);
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir out;
    Writers w(files, out.str(), jobs, true);
    // With one job inside a stretch; with two, where the calling thread
    // surely passes: after the second photo.
    const RunRecord r = RunWriter(
        w.scaling, [&] { w.stages.Create_images(); },
        [jobs](int index, bool& cancelled) {
          if (jobs == 2 && index == 1) cancelled = true;
        },
        [jobs](int call, bool& cancelled) {
          if (jobs == 1 && call == 5) cancelled = true;
        });
    const int n = static_cast<int>(r.progress.size());
    EXPECT_LT(n, 30);
    EXPECT_EQ(r.progress, Indexes(0, n));
    EXPECT_EQ(Written(out, "n_", 30), Names("n_", 0, n));
    EXPECT_EQ(Written(out, "t_", 30), std::vector<std::string>{});
    // The run starts no thumbnail stage now; forgetting leaves nothing behind.
    w.stages.Forget();
    EXPECT_EQ(AllNames(out.str()), Sorted(Names("n_", 0, n)));
  }
}

TEST(ImageStages, a_failing_thumbnail_stops_the_thumbnail_stage_at_its_place) {
  TempDir in;
  std::vector<std::string> files = Photos(in, 6);
  test::WriteFile(files[3], "GIF89a, not a JPEG at all");
  files[5] = in / "never-read.jpg";  // needs nothing: not even opened
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir out;
    Writers w(files, out.str(), jobs, false);
    w.stages.Needs = {{},
                      {},
                      {.ScaledImage = false},
                      {.ScaledImage = false},
                      {.Thumbnail = false},
                      {.ScaledImage = false, .Thumbnail = false}};
    const RunRecord s = RunWriter(w.scaling, [&] { w.stages.Create_images(); });
    EXPECT_EQ(s.error, "");
    EXPECT_EQ(s.progress, Indexes(0, 6));
    EXPECT_EQ(Written(out, "n_", 6), (std::vector<std::string>{"n_p0.jpg", "n_p1.jpg", "n_p4.jpg"}));
    const RunRecord t = RunWriter(w.thumbs, [&] { w.stages.Create_thumbnails(); });
    EXPECT_EQ(t.error, "JPEG error #53: Not a JPEG file: starts with 0x47 0x49");
    EXPECT_EQ(t.progress, Indexes(0, 3));
    EXPECT_EQ(Written(out, "t_", 6), (std::vector<std::string>{"t_p0.jpg", "t_p1.jpg", "t_p2.jpg"}));
  }
}

TEST(ImageStages, kept_thumbnails_serve_only_the_photos_and_settings_they_were_made_for) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 5);
  std::vector<std::string> swapped = files;
  std::swap(swapped[1], swapped[2]);
  TempDir poorer;
  Writers a(files, poorer.str(), 1, true);
  a.thumbs.Quality = 40;
  a.thumbs.Create_thumbnails();
  TempDir alone;
  Writers c(swapped, alone.str(), 1, true);
  c.thumbs.Create_thumbnails();
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir fused;
    Writers b(files, fused.str(), jobs, true);
    b.stages.Create_images();
    // Another quality: every thumbnail is made again, as the writer alone makes it.
    b.thumbs.Quality = 40;
    b.stages.Create_thumbnails();
    for (const std::string& name : Names("t_", 0, 5))
      EXPECT_TRUE(test::ReadFile(fused / name) == test::ReadFile(poorer / name)) << name;
    // Other photos at two places: those two are made again, for their photos.
    b.thumbs.Quality = 70;
    b.stages.Create_images();
    b.thumbs.ImageFiles = swapped;
    b.stages.Create_thumbnails();
    for (const std::string& name : Names("t_", 0, 5))
      EXPECT_TRUE(test::ReadFile(fused / name) == test::ReadFile(alone / name)) << name;
  }
}

TEST(ImageStages, thumbnails_not_made_along_are_made_in_their_own_stage) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 4);
  TempDir alone;
  Writers a(files, alone.str(), 2, true);
  a.scaling.Create_images();
  a.thumbs.Create_thumbnails();
  for (bool along : {false, true}) {
    TempDir fused;
    Writers b(files, fused.str(), 2, true);
    b.stages.ThumbnailsAlong = along;
    // Decoded in grey for one writer only: one decode cannot serve both.
    b.thumbs.Grayscale = along;
    b.stages.Create_images();
    EXPECT_EQ(b.stages.Waiting().BytesInMemory(), 0u);
    b.stages.Create_thumbnails();
    for (const std::string& name : Names("n_", 0, 4))
      EXPECT_TRUE(test::ReadFile(fused / name) == test::ReadFile(alone / name)) << name;
    EXPECT_EQ(test::ReadFacts(fused / "t_p0.jpg").components, along ? 1 : 3);
  }
}

// Each decode of a photo that lacks data is told by the writer whose stage
// decoded it, before that photo's progress: once when the thumbnail comes
// from the scaled image's decode, by both writers when it is decoded again.
TEST(ImageStages, a_damaged_photo_is_told_by_the_stage_that_decoded_it) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 3);
  const std::string whole = test::WellFormedJpeg(64, 48);
  test::WriteFile(files[1], test::Truncated(whole, (whole.find("\xFF\xDA") + whole.size()) / 2));
  for (bool along : {true, false}) {
    SCOPED_TRACE(along);
    TempDir out;
    Writers w(files, out.str(), 2, true);
    w.stages.ThumbnailsAlong = along;
    std::vector<std::string> events;
    const auto damaged = [&events](ImageWriter& sender, int index, const std::string& damage) {
      events.push_back(std::string(sender.WriterKind().Prefix) + std::to_string(index) + " " + damage);
    };
    w.scaling.OnDamaged = damaged;
    w.thumbs.OnDamaged = damaged;
    w.scaling.OnProgress = [&events](ImageWriter&, int index, bool&) {
      events.push_back("n_ done " + std::to_string(index));
    };
    w.stages.Create_images();
    w.stages.Create_thumbnails();
    const std::string damage = "premature end of data; the missing part shows grey";
    std::vector<std::string> expected = {"n_ done 0", "n_1 " + damage, "n_ done 1", "n_ done 2"};
    if (!along) expected.push_back("t_1 " + damage);
    EXPECT_EQ(events, expected);
  }
}

// A clock that moves only when the test moves it.
class TestClock {
 public:
  std::chrono::steady_clock::time_point Now() const {
    return std::chrono::steady_clock::time_point(std::chrono::microseconds(micros_.load()));
  }
  void Advance(std::chrono::microseconds by) { micros_ += by.count(); }
  BusyClockFunction Function() const {
    return [this] { return Now(); };
  }

 private:
  std::atomic<std::int64_t> micros_{0};
};

// The events of a writer as pumps of a window: when each came, on the clock.
struct Pumps {
  explicit Pumps(const TestClock& c) : clock(c) {}
  const TestClock& clock;
  std::vector<std::chrono::steady_clock::time_point> times;
  std::atomic<std::int64_t> lastMicros{0};

  void Attach(ImageWriter& w) {
    w.OnWorking = [this](ImageWriter&, bool&) { Note(); };
    w.OnProgress = [this](ImageWriter&, int, bool&) { Note(); };
  }
  void Note() {
    times.push_back(clock.Now());
    lastMicros = std::chrono::duration_cast<std::chrono::microseconds>(times.back().time_since_epoch()).count();
  }
  // The longest time without a pump, from the clock's start to its end.
  std::chrono::microseconds LargestGap() const {
    std::chrono::steady_clock::time_point last{};
    std::chrono::microseconds largest{0};
    for (auto t : times) {
      largest = std::max(largest, std::chrono::duration_cast<std::chrono::microseconds>(t - last));
      last = t;
    }
    return std::max(largest, std::chrono::duration_cast<std::chrono::microseconds>(clock.Now() - last));
  }
};

// Feeds a photo through a named pipe one 4 KiB piece at a time and moves the
// clock 2 ms per piece: on that clock, time passes only as the photo
// arrives, as from a slow network share. The pipe holds one piece and the
// decoder reads 4 KiB at a time, so the decoder is never more than two
// pieces behind the clock. The feeder lets the clock run no more than 20 ms
// past the last pump; when no pump comes within 5 s of real time while it
// waits, it stops waiting (and the gaps show it).
class SlowPhoto {
 public:
  static constexpr std::size_t kPiece = 4096;
  static constexpr std::chrono::microseconds kPieceTime{2000};
  static constexpr std::chrono::microseconds kAllowedGap{20000};

  SlowPhoto(const std::string& pipe, const std::string& jpeg, TestClock& clock, const Pumps& pumps)
      : pipe_(pipe), jpeg_(jpeg), clock_(clock), pumps_(pumps) {
    if (::mkfifo(pipe_.c_str(), 0600) != 0) ADD_FAILURE() << "cannot make the pipe " << pipe_;
    feeder_ = std::thread([this] { Feed(); });
  }
  ~SlowPhoto() {
    ending_ = true;
    feeder_.join();
    ::unlink(pipe_.c_str());
  }
  SlowPhoto(const SlowPhoto&) = delete;
  SlowPhoto& operator=(const SlowPhoto&) = delete;
  bool GaveUp() const { return gaveUp_; }

 private:
  void Feed() {
    int fd;
    while ((fd = ::open(pipe_.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
      if (errno != ENXIO || ending_) return;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ::fcntl(fd, F_SETFL, 0);
    ::fcntl(fd, F_SETPIPE_SZ, static_cast<int>(kPiece));
    for (std::size_t done = 0; done < jpeg_.size();) {
      const auto giveUpAt = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (!gaveUp_ &&
             clock_.Now() + kPieceTime -
                     std::chrono::steady_clock::time_point(std::chrono::microseconds(pumps_.lastMicros.load())) >
                 kAllowedGap) {
        if (std::chrono::steady_clock::now() > giveUpAt) gaveUp_ = true;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
      const std::size_t end = std::min(jpeg_.size(), done + kPiece);
      while (done < end) {
        const ssize_t n = ::write(fd, jpeg_.data() + done, end - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
      if (done < end) break;
      clock_.Advance(kPieceTime);
    }
    ::close(fd);
  }

  std::string pipe_;
  std::string jpeg_;
  TestClock& clock_;
  const Pumps& pumps_;
  std::atomic<bool> ending_{false};
  std::atomic<bool> gaveUp_{false};
  std::thread feeder_;
};

TEST(ImageStages, the_window_is_pumped_at_least_every_20_ms_while_a_slow_photo_arrives) {
  TempDir in;
  const Image detailed = test::MakeImage(1200, 900, [](int x, int y) {
    return test::Rgb{static_cast<std::uint8_t>(x * 7 ^ y), static_cast<std::uint8_t>(y * 3 + (x >> 2)),
                     static_cast<std::uint8_t>((x * y) >> 3)};
  });
  test::WriteJpeg(in / "progressive.jpg", detailed, {.progressive = true});
  test::WriteJpeg(in / "baseline.jpg", detailed);
  test::WriteJpeg(in / "turned.jpg", detailed, {.orientation = 6});
  const std::vector<std::string> others = Photos(in, 3);
  struct Case {
    const char* photo;
    int jobs;
    bool filter;
    bool fused;  // both stages' copies from one decode, or the thumbnail writer alone
  };
  const Case cases[] = {{"progressive.jpg", 1, false, true}, {"progressive.jpg", 1, true, true},
                        {"progressive.jpg", 2, false, true}, {"progressive.jpg", 2, true, true},
                        {"baseline.jpg", 1, false, true},    {"baseline.jpg", 1, true, true},
                        {"baseline.jpg", 2, false, true},    {"baseline.jpg", 2, true, true},
                        {"turned.jpg", 1, false, true},      {"progressive.jpg", 1, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.photo) + ", " + std::to_string(c.jobs) +
                 (c.filter ? " jobs, filtered" : " jobs, plain") + (c.fused ? "" : ", thumbnails alone"));
    const std::string jpeg = test::ReadFile(in / c.photo);
    ASSERT_GT(jpeg.size(), 40 * SlowPhoto::kPiece);
    TempDir out;
    std::vector<std::string> files = others;
    files.insert(files.begin(), out / "slow.jpg");
    Writers w(files, out.str(), c.jobs, c.filter);
    TestClock clock;
    w.scaling.BusyClock = w.thumbs.BusyClock = clock.Function();
    Pumps pumps{clock};
    ImageWriter& writer = c.fused ? static_cast<ImageWriter&>(w.scaling) : w.thumbs;
    pumps.Attach(writer);
    {
      SlowPhoto slow(out / "slow.jpg", jpeg, clock, pumps);
      if (c.fused)
        w.stages.Create_images();
      else
        w.thumbs.Create_thumbnails();
      EXPECT_FALSE(slow.GaveUp());
    }
    EXPECT_LE(pumps.LargestGap(), SlowPhoto::kAllowedGap);
    // The clock ran through the whole photo, with pumps all along it.
    EXPECT_GE(clock.Now().time_since_epoch(), 40 * SlowPhoto::kPieceTime);
    EXPECT_GE(pumps.times.size(), static_cast<std::size_t>(clock.Now().time_since_epoch() / SlowPhoto::kAllowedGap));
    EXPECT_TRUE(Exists(out / (c.fused ? "n_slow.jpg" : "t_slow.jpg")));
    writer.OnWorking = nullptr;
    writer.OnProgress = nullptr;
  }
}

}  // namespace
}  // namespace fotoloom
