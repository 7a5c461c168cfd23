// The wizard cancelled and closed at moments spread over a 200-photo run.
// FOTOLOOM_STRESS_ROUNDS sets how many moments of each kind (3 by default;
// scripts/cancel-stress.sh asks for 100 under the sanitizers).
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/Un_Utama.h"
#include "app/WizardTestSupport.h"
#include "imaging/Image.h"
#include "imaging/JpegCodec.h"
#include "support/TempDir.h"

namespace fotoloom {
namespace {

constexpr int kPhotos = 200;

int Rounds() {
  const char* rounds = std::getenv("FOTOLOOM_STRESS_ROUNDS");
  const int n = rounds != nullptr ? std::atoi(rounds) : 3;
  return n > 0 ? n : 1;
}

// Counts the passes of the event loop (each pump of the run serves one) and
// acts once at the given pass.
class MomentTrigger {
 public:
  MomentTrigger(int at, std::function<void()> act) : at_(at), act_(std::move(act)) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (++ticks_ == at_) {
        timer_.stop();
        act_();
      }
    });
    timer_.start();
  }
  int Ticks() const { return ticks_; }
  bool Fired() const { return ticks_ >= at_; }

 private:
  QTimer timer_;
  int at_;
  int ticks_ = 0;
  std::function<void()> act_;
};

// A wizard over the shared input folder, standing on page 5 with its own output folder.
struct Wizard {
  test::TempDir folder;
  test::FakeDialogs* dialogs = new test::FakeDialogs;
  Tfrm_utama window{std::unique_ptr<WizardDialogs>(dialogs), QString::fromStdString(folder.str() + "/")};

  explicit Wizard(const std::string& input) {
    window.show();
    window.Settings().SetInputPath(input);
    window.Settings().SetOutputPath(Out());
    window.Settings().SetAutoBrowserStart(false);
    window.Settings().SetCopyOrgSizedImages(true);
    QDir().mkpath(QString::fromStdString(Out()));
    // Saved, so that closing asks nothing.
    dialogs->files = {QString::fromStdString(folder / "gallery.fl")};
    test::Find<QPushButton>(&window, "bit_save")->click();
    for (int step = 2; step <= 5; ++step) test::Find<QPushButton>(&window, "btn_next")->click();
  }
  std::string Out() const { return folder / "out"; }
};

// No file under a final name is half written, and no temporary is left.
bool OnlyWholeFiles(const std::string& folder) {
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.find(".tmp") != std::string::npos) return false;
    if (name.ends_with(".htm") && test::ReadFile(e.path().string()).find("</html>") == std::string::npos) return false;
    if (name.ends_with(".jpg")) {
      JpegCodec codec;
      Image image;
      try {
        codec.Load(e.path().string(), image);
      } catch (const std::exception&) {
        return false;
      }
      if (codec.Warnings() != 0) return false;
    }
  }
  return true;
}

}  // namespace

class MainWindowLoadTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(test::MakeJpegs(input_.str(), kPhotos));
    Wizard w(input_.str());
    MomentTrigger count(INT_MAX, [] {});
    test::Find<QPushButton>(&w.window, "btn_next")->click();
    QVERIFY(!w.window.RunGoing());
    passes_ = count.Ticks();
    // The run pumps the events at most every few milliseconds, so the number
    // of passes depends on the machine; the moments are spread over them.
    QVERIFY(passes_ >= 2);
  }

  // A run that ends before its moment comes (the pumps are timed, so a run
  // may have fewer of them than the first) counts as not interrupted.
  void cancel_at_spread_moments_returns_to_page_1_with_whole_files() {
    const int rounds = Rounds();
    int interrupted = 0;
    for (int i = 0; i < rounds; ++i) {
      Wizard w(input_.str());
      const int at = 1 + static_cast<int>((static_cast<long long>(passes_) * i + passes_ / 2) / rounds);
      MomentTrigger cancel(
          at, [&] { test::Find<QPushButton>(test::Find(&w.window, "Frame_Step_6"), "btn_cancel")->click(); });
      test::Find<QPushButton>(&w.window, "btn_next")->click();
      const QByteArray where = QString("moment %1").arg(at).toLatin1();
      QVERIFY2(!w.window.RunGoing(), where);
      if (cancel.Fired()) {
        ++interrupted;
        QVERIFY2(test::Find(&w.window, "Frame_Step_1")->isVisible(), where);
      }
      QVERIFY2(OnlyWholeFiles(w.Out()), where);
    }
    QVERIFY(interrupted > 0);
  }

  void close_at_spread_moments_closes_after_the_run_with_whole_files() {
    const int rounds = Rounds();
    int interrupted = 0;
    for (int i = 0; i < rounds; ++i) {
      Wizard w(input_.str());
      const int at = 1 + static_cast<int>((static_cast<long long>(passes_) * i + passes_ / 3) / rounds);
      MomentTrigger close(at, [&] { w.window.close(); });
      test::Find<QPushButton>(&w.window, "btn_next")->click();
      const QByteArray where = QString("moment %1").arg(at).toLatin1();
      QVERIFY2(!w.window.RunGoing(), where);
      if (close.Fired()) {
        ++interrupted;
        QVERIFY2(!w.window.isVisible(), where);
      }
      QVERIFY2(OnlyWholeFiles(w.Out()), where);
    }
    QVERIFY(interrupted > 0);
  }

 private:
  test::TempDir input_;
  int passes_ = 0;
};

}  // namespace fotoloom

QTEST_MAIN(fotoloom::MainWindowLoadTest)
#include "Un_Utama_load_test.moc"
