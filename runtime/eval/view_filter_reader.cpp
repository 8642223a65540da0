// The filter reader: passes on the records that the filter holds true for,
// evaluating it (with the bound variables' current values) on every
// candidate. With a key range it jumps over the records before the range
// and stops at its far edge.
#include <cstring>

#include "runtime/eval/view_key_range.h"
#include "runtime/eval/view_reader.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::eval {
namespace {

class FilterReader final : public ViewReader {
 public:
  FilterReader(std::unique_ptr<ViewReader> inner, files::FileBlock& primary, Expression& filter,
               std::unique_ptr<KeyRange> range)
      : inner_(std::move(inner)), primary_(primary), filter_(filter), range_(std::move(range)) {}
  ~FilterReader() override {
    if (!saved_record_.empty()) explicit_bzero(saved_record_.data(), saved_record_.size());
  }

  std::int32_t Start() override { return inner_->Start(); }

  // A read that finds nothing leaves the record buffer as it was.
  std::int32_t Read(bool backward) override {
    saved_record_.assign(primary_.record, primary_.record + primary_.record_size);
    const std::int32_t code = ReadPassing(backward);
    if (code != support::kNoError) {
      std::memcpy(primary_.record, saved_record_.data(), saved_record_.size());
    }
    return code;
  }

  std::int32_t Position(std::string* position) override { return inner_->Position(position); }
  std::int32_t Reset(std::string_view position) override { return inner_->Reset(position); }
  std::int32_t Reget(std::string_view position) override { return inner_->Reget(position); }
  std::int32_t GetByPointer(std::int64_t pointer) override { return inner_->GetByPointer(pointer); }
  std::int32_t Records(std::int64_t* count) override { return inner_->Records(count); }

 private:
  std::int32_t ReadPassing(bool backward) {
    if (range_ != nullptr) range_->Refresh();
    bool sought = false;
    while (true) {
      const std::int32_t code = inner_->Read(backward);
      if (code != support::kNoError) return code;
      if (range_ != nullptr) {
        const int where = range_->Locate();
        const int ahead = backward ? -where : where;  // >0: past the range
        if (ahead > 0) return support::kRecordNotAvailable;
        if (ahead < 0 && !sought) {
          // Every record between here and the range fails the filter.
          sought = true;
          const std::int32_t seek = range_->Seek(backward);
          if (seek != support::kNoError) return seek;
          continue;
        }
      }
      if (filter_.EvaluateTruth()) return support::kNoError;
    }
  }

  std::unique_ptr<ViewReader> inner_;
  files::FileBlock& primary_;
  Expression& filter_;
  std::unique_ptr<KeyRange> range_;
  std::vector<std::uint8_t> saved_record_;
};

}  // namespace

std::unique_ptr<ViewReader> MakeFilterReader(std::unique_ptr<ViewReader> inner,
                                             files::FileBlock& primary, Expression& filter,
                                             bool use_range_stop) {
  std::unique_ptr<KeyRange> range;
  if (use_range_stop) range = KeyRange::Analyse(primary, filter);
  return std::make_unique<FilterReader>(std::move(inner), primary, filter, std::move(range));
}

}  // namespace vaultrix::eval
