// Long test behind FOTOLOOM_SOAK=1: fotoloom-cli killed with SIGKILL at random moments, then an update.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "CliProcess.h"
#include "core/OutputNames.h"
#include "imaging/JpegCodec.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

namespace fs = std::filesystem;
using test::CliProcess;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

// Every file below folder by its relative name, with its bytes; the update's
// state is the one file a full run does not leave.
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(e.path(), folder).generic_string();
    if (name == std::string(kUpdateStateFileName)) continue;
    files[name] = e.is_directory() ? std::string("<folder>") : ReadFile(e.path().string());
  }
  return files;
}

// A photo of its own pattern per index, large enough that a run takes a while.
std::string Photo(int index) {
  Image image(640, 480);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      std::uint8_t* p = image.pixel(x, y);
      p[0] = std::uint8_t(x * index);
      p[1] = std::uint8_t(y + index);
      p[2] = std::uint8_t((x ^ y) + 7 * index);
    }
  JpegCodec codec;
  codec.Quality = 90;
  std::string jpeg;
  codec.Encode(image, jpeg);
  return jpeg;
}

int Rounds() {
  const char* rounds = std::getenv("FOTOLOOM_SOAK_ROUNDS");
  return rounds != nullptr ? std::max(1, std::atoi(rounds)) : 128;
}

// Full runs and updates killed at random moments: one more update always
// leaves exactly what a full run leaves in an empty folder, byte for byte,
// and the next run is never kept out by the killed one.
TEST(KillSoak, an_update_after_any_kill_gives_the_full_run_result) {
  if (std::getenv("FOTOLOOM_SOAK") == nullptr || std::string(std::getenv("FOTOLOOM_SOAK")) != "1")
    GTEST_SKIP() << "a long run: set FOTOLOOM_SOAK=1";
  TempDir dir;
  fs::create_directories(dir.path() / "in");
  fs::create_directories(dir.path() / "extra/nav");
  for (int i = 1; i <= 24; ++i) WriteFile(dir / ("in/p" + std::to_string(100 + i) + ".jpg"), Photo(i));
  WriteFile(dir / "extra/logo.gif", "logo");
  WriteFile(dir / "extra/nav/next.gif", "next");
  const std::vector<std::string> options = {"--input", dir / "in",
                                            "--yes",   "--quiet",
                                            "--set",   "CopyOrgSizedImages=1",
                                            "--set",   "AdditionalPath=" + dir / "extra",
                                            "--set",   "Usefilter=1"};
  const auto run = [&](const std::string& out, bool update) {
    std::vector<std::string> args = {"run", "--output", out};
    args.insert(args.end(), options.begin(), options.end());
    if (update) args.push_back("--update");
    return args;
  };

  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(RunCli(run(dir / "full", false)).Status, 0);
  const auto took = std::chrono::steady_clock::now() - started;
  const std::map<std::string, std::string> full = Files(dir / "full");

  std::mt19937 random(20240611);
  std::uniform_int_distribution<long long> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 5 / 4);
  int killed = 0;
  for (int round = 0; round < Rounds(); ++round) {
    const bool update = random() % 2 == 0;
    SCOPED_TRACE("round " + std::to_string(round) + (update ? ", update" : ", full run"));
    {
      CliProcess victim(run(dir / "out", update));
      std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
      if (victim.Running()) {
        victim.Signal(SIGKILL);
        ++killed;
      }
      victim.Wait();
    }
    const auto after = RunCli(run(dir / "out", true));
    ASSERT_EQ(after.Status, 0) << after.Err;
    ASSERT_EQ(Files(dir / "out"), full);
  }
  EXPECT_GT(killed, 0);
}

}  // namespace
}  // namespace fotoloom
