// The "scroll to the bottom" read of the view benchmarks: the last page of
// one owner's entries in key order through the browse filter, by a view
// (with its key range stop) and by a plain filter reader. Shared by the
// benchmarks over the in-memory driver and over an HVN file.
#pragma once

#include <benchmark/benchmark.h>

#include "runtime/eval/expression.h"
#include "runtime/eval/view.h"
#include "runtime/eval/view_reader.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"

namespace vaultrix::bench {

inline constexpr int kViewPage = 20;
inline constexpr const char* kBrowseFilter = "UPPER(P_:User) = UPPER(BRW1::Sort1:Save:P_:User)";

inline void ReadLastPageByView(benchmark::State& state, files::FileBlock& file,
                               files::KeyBlock& key) {
  eval::DeclaredView view({&file});
  for (auto _ : state) {
    files::Set(key);
    files::SetProperty(view.Block(), eval::kPropFilter, kBrowseFilter);
    files::Open(view.Block());
    for (int i = 0; i < kViewPage; ++i) files::Previous(view.Block());
    if (support::ErrorCode() != 0) state.SkipWithError("read failed");
  }
}

inline void ReadLastPageByPlainFilter(benchmark::State& state, files::FileBlock& file,
                                      files::KeyBlock& key) {
  auto filter = eval::Compile(kBrowseFilter);
  for (auto _ : state) {
    files::Set(key);
    auto reader = eval::MakeFilterReader(eval::MakeBaseReader(file), file, *filter, false);
    (void)reader->Start();
    for (int i = 0; i < kViewPage; ++i) {
      if (reader->Read(true) != 0) state.SkipWithError("read failed");
    }
  }
}

}  // namespace vaultrix::bench
