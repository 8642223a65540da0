// Opening a file for the data-file tool and finding its tables.
#include "tools/hvn_tool/hvn_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "runtime/files/hvn/pages/record_kinds.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/system_error_map.h"
#include "tools/hvn_tool/cipher_env.h"

namespace vaultrix::tools {

namespace hvn = files::hvn;

namespace {
// Posted as a disk error is, 300 plus the system's error number; reading
// a directory would answer a less telling error.
constexpr int kIsDirectory = 300 + EISDIR;
}  // namespace

HvnReader::~HvnReader() {
  if (begun_) file_.Abort();
  (void)file_.Close();
}

int HvnReader::Open(const std::string& path, const std::string& owner, bool writable) {
  if (!owner.empty()) {
    env_ = std::make_unique<CipherEnv>(platform::CurrentEnv(), owner);
    scoped_env_ = std::make_unique<platform::ScopedEnv>(*env_);
  }
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return kIsDirectory;
  if (int code = file_.Open(path, !writable, false); code != 0) return code;
  if (int error = file_.file()->Size(&file_size_); error != 0) {
    return support::ErrorCodeFromErrno(error);
  }
  // A file that is not even as long as its header is no HVN file; the page
  // file would take an empty one for a new one.
  if (file_size_ < hvn::kHeaderSize) return support::kInvalidDataFile;
  return 0;
}

void HvnReader::Abort() {
  if (begun_) file_.Abort();
  begun_ = false;
}

int HvnReader::Begin() {
  if (int code = file_.Begin(); code != 0) return code;
  begun_ = true;
  return 0;
}

int HvnReader::Commit(std::uint64_t* size_after) {
  begun_ = false;
  if (int code = file_.End(); code != 0) return code;
  if (size_after != nullptr && file_.file()->Size(size_after) != 0) *size_after = 0;
  return file_.Close();
}

int HvnReader::Walk(const std::string& prefix,
                    const std::function<bool(const hvn::Record&)>& visit) {
  hvn::Tree tree(file_);
  std::string key = prefix;
  hvn::Seek seek = hvn::Seek::kAtOrAfter;
  while (true) {
    hvn::Record record;
    bool found = false;
    if (int code = tree.Search(key, seek, &record, &found); code != 0) return code;
    if (!found || record.key.compare(0, prefix.size(), prefix) != 0) return 0;
    if (!visit(record)) return 0;
    key = record.key;
    seek = hvn::Seek::kAfter;
  }
}

int HvnReader::ListTables(std::vector<TableInfo>* tables) {
  tables->clear();
  const std::string names(1, static_cast<char>(hvn::kKindTableName));
  int code = Walk(names, [&](const hvn::Record& record) {
    TableInfo info;
    info.name = record.key.substr(1);
    info.id = record.data.size() == 4 ? hvn::ReadBigEndian32(record.data, 0) : 0;
    tables->push_back(std::move(info));
    return true;
  });
  if (code != 0) return code;
  for (TableInfo& info : *tables) {
    hvn::Table table(file_, info.id);
    if ((code = table.ReadDefinition(&info.definition, &info.definition_valid)) != 0) return code;
    code = Walk(hvn::KindPrefix(info.id, hvn::kKindCounter), [&](const hvn::Record& record) {
      hvn::Counter counter;
      if (record.key.size() == 6 && hvn::DecodeCounter(record.data, &counter)) {
        info.counters[static_cast<std::uint8_t>(record.key[5])] = counter;
      }
      return true;
    });
    if (code != 0) return code;
  }
  return 0;
}

std::string HvnReader::Explain(int code) const {
  switch (code) {
    case support::kFileNotFound:
      return "No such file or directory";
    case support::kInvalidDataFile:
      return "not an HVN data file, or the owner password is wrong (or missing)";
    case hvn::kInternalErrorCode:
      return "the file is damaged (internal check hvnbt line " +
             std::to_string(file_.fault_line()) + " failed)";
    default:
      // Disk errors are posted as 300 plus the system's error number.
      if (code > 300 && code < 300 + 4096) return std::strerror(code - 300);
      return "cannot read the file (error " + std::to_string(code) + ")";
  }
}

}  // namespace vaultrix::tools
