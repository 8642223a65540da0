// The export run.
#include "app/transfer/export_writer.h"

#include <algorithm>

#include "app/dictionary/data_dictionary.h"
#include "app/services/standard_warnings.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kEndOfFile = 33;
constexpr std::int32_t kRecordRetrievalError = 35;

std::string_view FieldValue(std::string_view name) {
  if (name == "P_:Service") return P_.Service.View();
  if (name == "P_:URL") return P_.URL.View();
  if (name == "P_:Name") return P_.Name.View();
  if (name == "P_:Password") return P_.Password.View();
  return {};
}

}  // namespace

bool ExportWriter::Start() {
  total_ = files::Records(Passwords().Block());
  files::Set(Passwords().Block());
  return Read();
}

bool ExportWriter::Slice(std::int32_t& percent) {
  bool more = true;
  for (std::int32_t n = 0; n < kRecordsPerSlice && more; ++n) {
    line_.Clear();
    for (const TransferField& field : fields_) line_.Add(FieldValue(field.name), field.picture);
    more = file_.WriteLine(line_.Text());
    if (more) ++written_;
    more = more && Read();
  }
  percent =
      total_ > 0 ? static_cast<std::int32_t>(std::min<std::int64_t>(read_ * 100 / total_, 100)) : 0;
  return more;
}

// The next entry of the user; false at the end or on an error.
bool ExportWriter::Read() {
  for (;;) {
    files::Next(Passwords().Block());
    const std::int32_t code = support::ErrorCode();
    if (code == kEndOfFile) return false;
    if (code != 0) {
      (void)ShowWarning(kRecordRetrievalError, "Passwords");
      return false;
    }
    ++read_;
    if (P_.User == std::string_view(user_)) return true;
  }
}

}  // namespace vaultrix::app
