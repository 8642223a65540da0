// The application's service test fixture.
#include "tests/app/test_support.h"

#include <stdlib.h>

#include <filesystem>

#include "app/dictionary/data_dictionary.h"
#include "app/services/transaction.h"
#include "platform/locations.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_state.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app::testing {

void AppServicesTest::SetUp() {
  char pattern[] = "/tmp/vaultrix-app-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  scratch_ = pattern;
  platform::SetSettingsFolderOverride(scratch_ + "/settings");
  TestDisk::Reset();
  ResetDeclarations();
  UseDataDriver(&TestDataDriver());
  ClearRecordBuffers();
  support::ClearError();
  previous_box_ = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& r) {
    boxes_.push_back(r);
    if (answers_.empty()) return platform::DefaultAnswer(r.buttons, r.default_button);
    const platform::MessageBoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  });
  previous_halt_ = SetHaltHandler([](const std::string& text) { throw Halted{text}; });
}

void AppServicesTest::TearDown() {
  Rollback();
  ResetDeclarations();
  UseDataDriver(nullptr);
  SetHaltHandler(previous_halt_);
  platform::SetMessageBoxHandler(previous_box_);
  platform::SetSettingsFolderOverride("");
  std::filesystem::remove_all(scratch_);
}

void AppServicesTest::Answer(std::initializer_list<platform::MessageBoxAnswer> answers) {
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void AppServicesTest::ResetDeclarations() {
  for (std::size_t i = 0; i < kDeclarationCount; ++i) {
    DataFile& file = Declaration(i);
    if (file.Block().state != nullptr) files::ReleaseFileState(file.Block());
    file.OpenCount() = 0;
  }
}

void AppServicesTest::WriteOldPasswordsFile(int count) {
  DataFile& old_file = OldPasswords();
  files::Create(old_file.Block());
  files::Open(old_file.Block(), 0x42);
  ASSERT_EQ(support::ErrorCode(), 0);
  for (int i = 0; i < count; ++i) {
    PO_ = PasswordRecord{};
    PO_.User = "Ann";
    PO_.Service = "service " + std::to_string(i);
    PO_.URL = "https://example.org/" + std::to_string(i);
    PO_.Name = "login";
    PO_.Password = "pw" + std::to_string(i);
    PO_.ConfirmPassword = PO_.Password.View();
    support::AssignFixed(old_file.MemoText(kMemoNotes), "notes " + std::to_string(i));
    support::AssignFixed(old_file.MemoText(kMemoMoreNotes), std::string(1000, 'm'));
    files::Add(old_file.Block());
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  files::Close(old_file.Block());
  TestDisk::Get().calls.clear();
}

}  // namespace vaultrix::app::testing
