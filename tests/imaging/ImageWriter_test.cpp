#include "imaging/ImageWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <future>
#include <thread>

#include "JpegFixtures.h"
#include "WriterFixtures.h"
#include "imaging/Un_Scaling_File.h"
#include "imaging/Un_Thumb_File.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

using test::Configure;
using test::Exists;
using test::HeldPhoto;
using test::Indexes;
using test::Names;
using test::Photos;
using test::RunWriter;
using test::TempDir;
using test::Written;

TEST(ImageWriter, two_jobs_write_the_same_bytes_as_one_and_report_in_order) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 7);
  for (bool filter : {false, true}) {
    SCOPED_TRACE(filter ? "filtered" : "plain");
    TempDir one;
    TempDir two;
    tscaling_file scaling;
    tthumb_file thumbs;
    scaling.UseFilter = filter;
    thumbs.UseFilter = filter;
    Configure(scaling, files, one.str(), 1);
    Configure(thumbs, files, one.str(), 1);
    EXPECT_EQ(RunWriter(scaling, [&] { scaling.Create_images(); }).progress, Indexes(0, 7));
    EXPECT_EQ(RunWriter(thumbs, [&] { thumbs.Create_thumbnails(); }).progress, Indexes(0, 7));
    Configure(scaling, files, two.str(), 2);
    Configure(thumbs, files, two.str(), 2);
    const test::RunRecord s = RunWriter(scaling, [&] { scaling.Create_images(); });
    const test::RunRecord t = RunWriter(thumbs, [&] { thumbs.Create_thumbnails(); });
    EXPECT_EQ(s.progress, Indexes(0, 7));
    EXPECT_EQ(t.progress, Indexes(0, 7));
    EXPECT_FALSE(s.offThread || t.offThread);
    for (const char* prefix : {"n_", "t_"})
      for (const std::string& name : Names(prefix, 0, 7))
        EXPECT_EQ(test::ReadFile(one / name), test::ReadFile(two / name)) << name;
  }
}

TEST(ImageWriter, image_count_limits_the_work_and_zero_fires_nothing) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 4);
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir out;
    tscaling_file w;
    Configure(w, files, out.str(), jobs);
    w.ImageCount = 2;
    EXPECT_EQ(RunWriter(w, [&] { w.Create_images(); }).progress, Indexes(0, 2));
    EXPECT_EQ(Written(out, "n_", 4), Names("n_", 0, 2));

    TempDir none;
    w.OutputPath = none.str();
    w.ImageCount = 0;
    const test::RunRecord r = RunWriter(w, [&] { w.Create_images(); });
    EXPECT_TRUE(r.progress.empty());
    EXPECT_EQ(r.working, 0);
    EXPECT_TRUE(Written(none, "n_", 4).empty());

    w.ImageCount = 99;  // more than the list holds: the whole list
    EXPECT_EQ(RunWriter(w, [&] { w.Create_images(); }).progress, Indexes(0, 4));
  }
}

TEST(ImageWriter, a_damaged_file_stops_the_run_after_the_earlier_images_are_written) {
  TempDir in;
  std::vector<std::string> files = Photos(in, 6);
  test::WriteFile(files[2], "GIF89a, not a JPEG at all");
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir out;
    tthumb_file w;
    Configure(w, files, out.str(), jobs);
    const test::RunRecord r = RunWriter(w, [&] { w.Create_thumbnails(); });
    EXPECT_EQ(r.error, "JPEG error #53: Not a JPEG file: starts with 0x47 0x49");
    EXPECT_EQ(r.progress, Indexes(0, 2));
    // Later images may have been worked on by then, but none is written.
    EXPECT_EQ(Written(out, "t_", 6), Names("t_", 0, 2));
  }
}

TEST(ImageWriter, file_errors_name_the_file_and_the_reason) {
  TempDir in;
  std::vector<std::string> files = Photos(in, 3);
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    TempDir out;
    tscaling_file w;
    Configure(w, {files[0], in / "gone.jpg", files[2]}, out.str(), jobs);
    test::RunRecord r = RunWriter(w, [&] { w.Create_images(); });
    EXPECT_EQ(r.error, "Cannot open file \"" + (in / "gone.jpg") + "\". No such file or directory");
    EXPECT_EQ(r.progress, Indexes(0, 1));

    Configure(w, files, in / "missing", jobs);
    r = RunWriter(w, [&] { w.Create_images(); });
    EXPECT_EQ(r.error, "Cannot create file \"" + (in / "missing/n_p0.jpg") + "\". No such file or directory");
    EXPECT_TRUE(r.progress.empty());
  }
}

TEST(ImageWriter, a_cancel_in_on_progress_starts_no_further_image) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 48);
  auto cancelAtOne = [](int index, bool& cancelled) {
    if (index == 1) cancelled = true;
  };
  {
    TempDir out;
    tscaling_file w;
    Configure(w, files, out.str(), 1);
    const auto run = [&] { w.Create_images(); };
    EXPECT_EQ(RunWriter(w, run, cancelAtOne).progress, Indexes(0, 2));
    EXPECT_EQ(Written(out, "n_", 48), Names("n_", 0, 2));
    EXPECT_TRUE(w.Cancelled);  // the writer never clears the flag
  }
  {
    // Two jobs finish what was already started (at most the look-ahead of
    // 32 images beyond the two reported), report it in order and stop.
    TempDir out;
    tscaling_file w;
    Configure(w, files, out.str(), 2);
    const test::RunRecord r = RunWriter(
        w, [&] { w.Create_images(); }, cancelAtOne);
    const int n = static_cast<int>(r.progress.size());
    EXPECT_GE(n, 2);
    EXPECT_LE(n, 34);
    EXPECT_EQ(r.progress, Indexes(0, n));
    EXPECT_EQ(Written(out, "n_", 48), Names("n_", 0, n));
  }
}

TEST(ImageWriter, a_flag_set_before_the_start_lets_exactly_one_image_through) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 3);
  TempDir out;
  tthumb_file w;
  Configure(w, files, out.str(), 2);
  w.Cancelled = true;
  EXPECT_EQ(RunWriter(w, [&] { w.Create_thumbnails(); }).progress, Indexes(0, 1));
}

// A white photo that fits its bounds, so the filtered stretch runs at scale 1
// and a scaled-image writer honours a cancel before it writes any pixel.
std::vector<std::string> WhitePhotos(const TempDir& in, int n) {
  std::vector<std::string> files;
  for (int i = 0; i < n; ++i) {
    files.push_back(in / ("p" + std::to_string(i) + ".jpg"));
    test::WriteJpeg(files.back(), test::FlatImage(200, 150, {255, 255, 255}));
  }
  return files;
}

bool CentreIsDark(const std::string& path) {
  const Image image = test::Decode(path);
  const std::uint8_t* p = image.pixel(image.width() / 2, image.height() / 2);
  return p[0] < 128 && p[1] < 128 && p[2] < 128;
}

TEST(ImageWriter, a_stretch_cut_short_by_a_cancel_is_still_written_and_reported_with_one_job) {
  TempDir in;
  const std::vector<std::string> files = WhitePhotos(in, 3);
  TempDir out;
  tscaling_file w;
  Configure(w, files, out.str(), 1);
  w.UseFilter = true;
  const test::RunRecord r = RunWriter(
      w, [&] { w.Create_images(); }, {}, [](int, bool& cancelled) { cancelled = true; });
  EXPECT_EQ(r.progress, Indexes(0, 1));
  EXPECT_GE(r.working, 1);
  EXPECT_EQ(Written(out, "n_", 3), Names("n_", 0, 1));
  EXPECT_TRUE(CentreIsDark(out / "n_p0.jpg"));  // the white source never reached the target
}

TEST(ImageWriter, with_two_jobs_the_caller_keeps_firing_on_working_and_a_cancel_there_cuts_the_stretch) {
  TempDir in;
  std::vector<std::string> files = WhitePhotos(in, 40);
  // The first photo waits for the test, so the calling thread is certain to wait for it.
  files[0] = in / "slow.jpg";
  HeldPhoto held(files[0], test::ReadFile(files[1]));

  TempDir out;
  tscaling_file w;
  Configure(w, files, out.str(), 2);
  w.UseFilter = true;
  // The cancel set in one OnWorking call reaches the workers when the call
  // returns; the photo is let through on the next call, after that.
  const test::RunRecord r = RunWriter(
      w, [&] { w.Create_images(); }, {},
      [&](int call, bool& cancelled) {
        if (call == 3) cancelled = true;
        if (call == 4) held.Release();
      });
  EXPECT_EQ(r.error, "");
  EXPECT_GE(r.working, 4);
  EXPECT_FALSE(r.offThread);
  // Image 0 and whatever the other job had started are written and
  // reported in order; nothing is started after the cancel, and while image 0
  // waits no job runs more than the look-ahead of 32 images past it.
  const int n = static_cast<int>(r.progress.size());
  EXPECT_GE(n, 1);
  EXPECT_LE(n, 32);
  EXPECT_EQ(r.progress, Indexes(0, n));
  EXPECT_TRUE(Exists(out / "n_slow.jpg"));
  EXPECT_TRUE(CentreIsDark(out / "n_slow.jpg"));
  for (int i = 1; i < 40; ++i) EXPECT_EQ(Exists(out / ("n_p" + std::to_string(i) + ".jpg")), i < n) << i;
}

TEST(ImageWriter, finished_images_waiting_behind_a_slow_one_hold_at_most_32_mib) {
  TempDir in;
  // Noise at quality 100 encodes to about 2 MiB at this size, which the
  // writer keeps as it is (it fits, and the filter is off).
  std::uint32_t seed = 12345;
  auto noise = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::uint8_t>(seed >> 16);
  };
  const std::string noisy = in / "noise.jpg";
  test::WriteJpeg(noisy,
                  test::MakeImage(1200, 900,
                                  [&](int, int) {
                                    return test::Rgb{noise(), noise(), noise()};
                                  }),
                  {.quality = 100});
  constexpr int kCount = 24;
  std::vector<std::string> files{in / "p0.jpg"};
  for (int i = 1; i < kCount; ++i) {
    files.push_back(in / ("p" + std::to_string(i) + ".jpg"));
    std::filesystem::create_hard_link(noisy, files.back());
  }
  HeldPhoto held(files[0], test::ReadFile(noisy));

  TempDir out;
  tscaling_file w;
  Configure(w, files, out.str(), 2);
  w.MaxWidth = 1200;
  w.MaxHeight = 900;
  w.Quality = 100;
  w.UseFilter = false;
  // One job waits for photo 0 while the other works ahead for about a second
  // and a half; then the run is cancelled and photo 0 let through, so the
  // files written are those that were finished ahead, and one or two more.
  const test::RunRecord r = RunWriter(
      w, [&] { w.Create_images(); }, {},
      [&](int call, bool& cancelled) {
        if (call == 150) cancelled = true;
        if (call == 151) held.Release();
      });
  EXPECT_EQ(r.error, "");
  const int n = static_cast<int>(r.progress.size());
  EXPECT_EQ(r.progress, Indexes(0, n));
  ASSERT_GE(n, 3);
  EXPECT_LT(n, kCount);
  // Each image was started only while those finished ahead of it held less
  // than 32 MiB; the last one or two may have been started just before.
  std::uintmax_t ahead = 0;
  for (int i = 1; i < n - 2; ++i) ahead += std::filesystem::file_size(out / ("n_p" + std::to_string(i) + ".jpg"));
  EXPECT_LT(ahead, std::uintmax_t{32} << 20);
  EXPECT_GT(std::filesystem::file_size(out / "n_p1.jpg"), std::uintmax_t{1} << 20);
}

TEST(ImageWriter, with_one_job_on_working_keeps_firing_while_a_slow_photo_is_read_without_the_filter) {
  TempDir in;
  const std::string source = in / "source.jpg";
  test::WriteJpeg(source,
                  test::MakeImage(800, 600,
                                  [](int x, int y) {
                                    return test::Rgb{static_cast<std::uint8_t>(x * 7 ^ y),
                                                     static_cast<std::uint8_t>(y * 3), static_cast<std::uint8_t>(x)};
                                  }),
                  {.progressive = true});
  const std::string jpeg = test::ReadFile(source);
  // The photo's second half arrives 60 ms after its first, while the decoder
  // reads its scans: only the codec can fire OnWorking then, as the plain
  // stretch never does.
  const std::string pipe = in / "slow.jpg";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::thread feeder([&] {
    const int fd = ::open(pipe.c_str(), O_WRONLY);
    if (fd < 0) return;
    const std::size_t half = jpeg.size() / 2;
    for (std::size_t done = 0; done < jpeg.size();) {
      if (done == half) std::this_thread::sleep_for(std::chrono::milliseconds(60));
      const std::size_t end = done < half ? half : jpeg.size();
      const ssize_t n = ::write(fd, jpeg.data() + done, end - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
  });
  TempDir out;
  tscaling_file w;
  Configure(w, {pipe}, out.str(), 1);
  w.UseFilter = false;
  const test::RunRecord r = RunWriter(w, [&] { w.Create_images(); });
  feeder.join();
  EXPECT_EQ(r.error, "");
  EXPECT_GE(r.working, 1);
  EXPECT_EQ(r.progress, Indexes(0, 1));
  EXPECT_EQ(test::Decode(out / "n_slow.jpg").width(), 320);
}

TEST(ImageWriter, an_out_of_range_filter_or_pixel_format_falls_back_to_the_defaults) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 1);
  TempDir a;
  TempDir b;
  tscaling_file w;
  Configure(w, files, a.str(), 1);
  w.UseFilter = true;
  w.FilterIndex = -1;
  w.PixelFormat = 200;
  w.Create_images();
  w.OutputPath = b.str();
  w.FilterIndex = 5;
  w.PixelFormat = 0;
  w.Create_images();
  EXPECT_EQ(test::ReadFile(a / "n_p0.jpg"), test::ReadFile(b / "n_p0.jpg"));
}

TEST(ImageWriter, failing_output_folders_stop_the_writer_with_the_reason_and_keep_what_was_written) {
  TempDir in;
  const std::vector<std::string> files = Photos(in, 8);
  for (int jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    {  // the output folder disappears after the first image
      TempDir parent;
      const std::string out = parent / "out";
      std::filesystem::create_directory(out);
      tscaling_file w;
      Configure(w, files, out, jobs);
      const test::RunRecord r = RunWriter(
          w, [&] { w.Create_images(); },
          [&](int index, bool&) {
            if (index == 0) std::filesystem::remove_all(out);
          });
      EXPECT_EQ(r.error, "Cannot create file \"" + out + "/n_p1.jpg\". No such file or directory");
      EXPECT_EQ(r.progress, Indexes(0, 1));
    }
    test::SmallDisk readOnly(64, true);
    test::SmallDisk full(48);
    if (!readOnly.mounted() || !full.mounted()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    {
      tscaling_file w;
      Configure(w, files, readOnly.str(), jobs);
      const test::RunRecord r = RunWriter(w, [&] { w.Create_images(); });
      EXPECT_EQ(r.error, "Cannot create file \"" + (readOnly / "n_p0.jpg") + "\". Read-only file system");
      EXPECT_TRUE(r.progress.empty());
    }
    {  // the disk fills up part way: every file written before is whole
      tscaling_file w;
      Configure(w, files, full.str(), jobs);
      const test::RunRecord r = RunWriter(w, [&] { w.Create_images(); });
      EXPECT_TRUE(r.error.ends_with("\". No space left on device")) << r.error;
      std::vector<std::string> written;
      for (const std::string& name : Names("n_", 0, 8))
        if (Exists(full / name)) written.push_back(name);
      EXPECT_EQ(written, Names("n_", 0, static_cast<int>(r.progress.size())));
      EXPECT_LT(written.size(), 8u);
      for (const std::string& name : written) {
        const test::JpegFacts f = test::ReadFacts(full / name);
        EXPECT_GT(f.width, 0) << name;
      }
      EXPECT_EQ(static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(full.str()), {})),
                written.size());  // no temporary left behind
    }
  }
}

}  // namespace
}  // namespace fotoloom
