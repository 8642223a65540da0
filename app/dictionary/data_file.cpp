// A declaration of the data dictionary: blocks, label and open count.
#include "app/dictionary/data_file.h"

#include <utility>

namespace vaultrix::app {
namespace {

// Serves nothing: a declaration answers 80 until a data driver is installed.
const files::DriverRegistration kNoDriver{};

}  // namespace

DataFile::DataFile(std::string label, const files::FileDeclaration& declaration, void* record,
                   void (*wipe_record)())
    : label_(std::move(label)),
      wipe_record_(wipe_record),
      declared_(declaration.Build(kNoDriver, static_cast<std::uint8_t*>(record))) {
  declared_->Block().driver = nullptr;
}

std::span<char> DataFile::MemoText(std::size_t index) {
  files::MemoBlock& memo = Memo(index);
  if (memo.buffer == nullptr) return {};
  return std::span<char>(memo.buffer, memo.size);
}

void DataFile::SetDriver(const files::DriverRegistration* driver) {
  declared_->Block().driver = driver;
}

}  // namespace vaultrix::app
