// The browse engine on a real passwords file in the password browser's
// Service order: one owner holding N entries (N = 1,000 and 100,000) among
// ten owners (the nine others hold N entries between them), 20 visible rows.
// Each step runs as the engine runs it for the user; the counter "reads" is
// the entries the step read from the view (NEXT, PREVIOUS, REGET).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "app/browse/engine.h"
#include "app/browse/password_orders.h"
#include "app/dictionary/data_dictionary.h"
#include "app/services/global_codes.h"
#include "bench/bench_dir.h"
#include "bench/hvn_load.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_state.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix;
using app::P_;
using app::U_;

constexpr int kVisibleRows = 20;
constexpr const char* kOwner = "owner3";

class BenchSurface final : public app::BrowseSurface {
 public:
  int VisibleItems() override { return kVisibleRows; }
  void QueueChanged() override {}
  int Selection() override { return selection_; }
  void SetSelection(int row) override { selection_ = row; }
  bool ScrollBarShown() override { return true; }
  void ShowScrollBar(bool) override {}
  int Thumb() override { return 0; }
  void SetThumb(int) override {}
  void EnableButton(int, bool) override {}
  void PostToList(int) override {}
  void PressButton(int) override {}
  int Popup(std::string_view) override { return 0; }
  void PostCloseWindow() override {}
  void SetWaitCursor(bool) override {}
  bool AcceptingAll() override { return false; }
  void Redisplay() override {}
  void SelectList() override {}

 private:
  int selection_ = 0;
};

std::string RandomText(std::mt19937& random, int length) {
  std::string text;
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + random() % 26));
  return text;
}

// owner0 to owner9 without the measured owner.
std::string OtherOwner(int i) {
  const int other = i % 9;
  return "owner" + std::to_string(other >= 3 ? other + 1 : other);
}

// The passwords file of one N, open, with the engine on it.
class Vault {
 public:
  explicit Vault(int n) : n_(n) {
    previous_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path(""));
    app::UseDataDriver(&files::HalverinDriver());
    files::FileBlock& block = app::Passwords().Block();
    files::Create(block);
    std::mt19937 random(11);
    const int total = 2 * n;
    ok_ = bench::LoadHvnRecords("Vtrix_P.HVN", std::string(block.owner.View()), total,
                                sizeof(app::PasswordRecord), [&](int i, std::uint8_t* record) {
                                  app::PasswordRecord entry;
                                  // Odd records are the owner's; even ones the nine others'.
                                  entry.User = i % 2 == 1 ? kOwner : OtherOwner(i / 2);
                                  entry.Service = RandomText(random, 12);
                                  entry.URL = "https://" + RandomText(random, 16);
                                  entry.Name = RandomText(random, 8);
                                  std::memcpy(record, &entry, sizeof entry);
                                });
    files::Open(block, 0x42);
    (void)files::Send(block, "FULLBUILD=ON");
    files::Build(block);
    ok_ = ok_ && support::ErrorCode() == 0;
    eval::PUSHSCOPE();
    app::BindPasswordOrders(ranges_);
    U_.Name = kOwner;
    app::BrowseDescription description = app::PasswordBrowseDescription(ranges_);
    description.choose_order = [] { return app::kOrderByService; };
    description.insert_button = 2;
    description.form = [this] { Form(); };
    engine_ = std::make_unique<app::BrowseEngine>(std::move(description), surface_);
    engine_->RefreshWindow();
  }
  ~Vault() {
    engine_.reset();
    eval::POPSCOPE();
    files::Close(app::Passwords().Block());
    files::ReleaseFileState(app::Passwords().Block());
    app::UseDataDriver(nullptr);
    std::filesystem::current_path(previous_dir_);
  }

  [[nodiscard]] bool ok() const { return ok_; }
  [[nodiscard]] int n() const { return n_; }
  app::BrowseEngine& engine() { return *engine_; }

 private:
  // The form of an insert: a new entry of the owner, added durably.
  void Form() {
    (void)app::TakeRequest();
    P_.Service = "m" + RandomText(random_, 11);
    P_.Name = "new";
    files::Add(app::Passwords().Block());
    app::LeaveResponse(support::ErrorCode() == 0 ? app::kRequestCompleted : app::kRequestCancelled);
  }

  int n_;
  bench::BenchDir dir_;
  std::filesystem::path previous_dir_;
  bool ok_ = false;
  app::PasswordRanges ranges_;
  BenchSurface surface_;
  std::unique_ptr<app::BrowseEngine> engine_;
  std::mt19937 random_{5};
};

Vault* VaultOf(benchmark::State& state) {
  // What the vault uses when it closes must outlive it: made before it, so
  // destroyed after it at exit.
  (void)app::Passwords();
  (void)files::HalverinDriver();
  eval::PUSHSCOPE();
  eval::POPSCOPE();
  static std::unique_ptr<Vault> vault;
  const int n = static_cast<int>(state.range(0));
  if (vault == nullptr || vault->n() != n) {
    vault.reset();
    vault = std::make_unique<Vault>(n);
  }
  if (!vault->ok()) {
    state.SkipWithError("loading the passwords file failed");
    return nullptr;
  }
  return vault.get();
}

// Runs `step` per iteration and reports the reads it made.
template <typename Step>
void Measure(benchmark::State& state, Step step) {
  Vault* vault = VaultOf(state);
  if (vault == nullptr) return;
  app::BrowseEngine& engine = vault->engine();
  engine.ScrollToEnd(false);
  const std::int64_t before = engine.Reads();
  for (auto _ : state) step(state, engine);
  state.counters["reads"] = benchmark::Counter(static_cast<double>(engine.Reads() - before) /
                                               static_cast<double>(state.iterations()));
  if (engine.Failed() || engine.RecordsInQueue() == 0) state.SkipWithError("the engine failed");
}

void BM_BrowseFirstPageAfterResetOrder(benchmark::State& state) {
  Measure(state, [](benchmark::State&, app::BrowseEngine& engine) {
    engine.ResetView();
    engine.Queue().Clear();
    engine.SetRefreshMode(app::RefreshMode::kFromTop);
    engine.RefreshPage();
  });
}

// Fifty pages down from the top, then back to the top (not timed), at both
// sizes: the same thousand entries, so that both measure pages already read
// once. BM_BrowsePageDownThroughTheFile pages on through pages never read.
void BM_BrowsePageDown(benchmark::State& state) {
  int pages = 0;
  Measure(state, [&pages](benchmark::State& s, app::BrowseEngine& engine) {
    engine.ScrollPage(false);
    if (++pages == 50) {
      s.PauseTiming();
      engine.ScrollToEnd(false);
      pages = 0;
      s.ResumeTiming();
    }
  });
}

// Each page down starts with every leaf forgotten, at both sizes (the index
// pages stay, as they do when the cache is full): every step reads from the
// disk (and deciphers) the leaves it needs, as paging on into entries never
// shown does in a large file. At N = 1,000 the whole order would otherwise
// be cached after its first pass.
void BM_BrowsePageDownThroughTheFile(benchmark::State& state) {
  Measure(state, [](benchmark::State& s, app::BrowseEngine& engine) {
    s.PauseTiming();
    files::DriverStateOf<files::hvn::HvnFile>(app::Passwords().Block())->page_file().ForgetLeaves();
    s.ResumeTiming();
    const std::string last = engine.Queue().Row(engine.RecordsInQueue()).position;
    engine.ScrollPage(false);
    if (engine.Queue().Row(engine.RecordsInQueue()).position == last) {
      s.PauseTiming();
      engine.ScrollToEnd(false);
      s.ResumeTiming();
    }
  });
}

void BM_BrowseScrollToBottom(benchmark::State& state) {
  Measure(state, [](benchmark::State&, app::BrowseEngine& engine) { engine.ScrollToEnd(true); });
}

void BM_BrowseThumbDragTo50(benchmark::State& state) {
  Measure(state, [](benchmark::State&, app::BrowseEngine& engine) { engine.ScrollDrag(50); });
}

void BM_BrowseFirstLetterLocate(benchmark::State& state) {
  Measure(state,
          [](benchmark::State&, app::BrowseEngine& engine) { engine.LocateFirstLetter('m'); });
}

void BM_BrowseKeyDistribution(benchmark::State& state) {
  Measure(state,
          [](benchmark::State&, app::BrowseEngine& engine) { engine.BuildKeyDistribution(); });
}

void BM_BrowseInsertAndRelocate(benchmark::State& state) {
  Measure(state,
          [](benchmark::State&, app::BrowseEngine& engine) { engine.Edit(app::kInsertRecord); });
}

// The engine's share of insert-and-relocate without the durable ADD: the
// highlighted entry located again by its key position, its page read around
// it, and the key distribution built again.
void BM_BrowseRelocateAndDistribution(benchmark::State& state) {
  Measure(state, [](benchmark::State&, app::BrowseEngine& engine) {
    engine.GetRecord();
    engine.SetLocateMode(app::LocateMode::kEdited);
    engine.LocateRecord();
    engine.BuildKeyDistribution();
  });
}

// The durable ADD alone, as the form makes it, for comparison with the step
// above: what the file engine adds to the engine's share.
void BM_BrowseDurableAddAlone(benchmark::State& state) {
  // Kept across repetitions: a service repeated would make a refused add.
  static std::mt19937 random(9);
  Measure(state, [](benchmark::State& s, app::BrowseEngine&) {
    P_.User = kOwner;
    P_.Service = "n" + RandomText(random, 11);
    P_.Name = "new";
    files::Add(app::Passwords().Block());
    if (support::ErrorCode() != 0) s.SkipWithError("the add was refused");
  });
}

#define BROWSE_STEP(name) BENCHMARK(name)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond)
BROWSE_STEP(BM_BrowseFirstPageAfterResetOrder);
BROWSE_STEP(BM_BrowsePageDown);
BROWSE_STEP(BM_BrowsePageDownThroughTheFile);
BROWSE_STEP(BM_BrowseScrollToBottom);
BROWSE_STEP(BM_BrowseThumbDragTo50);
BROWSE_STEP(BM_BrowseFirstLetterLocate);
BROWSE_STEP(BM_BrowseKeyDistribution);
BROWSE_STEP(BM_BrowseRelocateAndDistribution);
BROWSE_STEP(BM_BrowseInsertAndRelocate)->Iterations(200);
BROWSE_STEP(BM_BrowseDurableAddAlone)->Iterations(200);

}  // namespace
