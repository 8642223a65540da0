// The import's transaction on a real passwords file: it stays open across
// slices, another window's change in between commits it instead of undoing
// it or being refused, and a crash leaves a sound file holding every entry
// committed before it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/services/standard_warnings.h"
#include "app/services/transaction.h"
#include "app/transfer/importer.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

constexpr int kLines = 200;

class ImportTransactionTest : public testing::AppServicesTest {
 protected:
  void SetUp() override {
    AppServicesTest::SetUp();
    UseDataDriver(&files::HalverinDriver());
    ASSERT_EQ(::chdir(scratch_.c_str()), 0);
    files::Create(Passwords().Block());
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    for (int i = 0; i < kLines; ++i) text_ += "\"s" + std::to_string(i) + "\",\"n\"\r\n";
  }
  void TearDown() override {
    ResetDeclarations();
    UseDataDriver(nullptr);
    AppServicesTest::TearDown();
  }

  ImportPlan Plan() {
    ImportPlan plan;
    plan.pictures = {"@s20", "@s20"};
    plan.targets[0] = 0;  // service
    plan.targets[2] = 1;  // name
    plan.user = "Ann";
    return plan;
  }

  // What another window's procedure does: an entry of Ann's added in a
  // transaction of its own; false when the add was refused (and rolled back
  // through RememberFileError, as the procedures do).
  static bool AddInOwnTransaction(const std::string& service) {
    if (!Logout({&Passwords()})) return false;
    P_ = PasswordRecord{};
    P_.User = "Ann";
    P_.Service = service;
    P_.Name = "n";
    files::Add(Passwords().Block());
    if (support::ErrorCode() != 0) {
      RememberFileError();
      return false;
    }
    return Commit();
  }

  // The services of Ann's entries as the file holds them now.
  std::string Services() {
    files::Open(Passwords().Block(), 0x42);
    std::string services;
    files::Set(Passwords().Block());
    for (files::Next(Passwords().Block()); support::ErrorCode() == 0;
         files::Next(Passwords().Block())) {
      services += std::string(P_.Service.Clipped()) + " ";
    }
    files::Close(Passwords().Block());
    return services;
  }

  static std::string Expected(int imported, const std::string& others) {
    std::string services;
    for (int i = 0; i < imported; ++i) services += "s" + std::to_string(i) + " ";
    return services + others;
  }

  std::string text_;
};

// In a child that ends with _exit() (a crash: nothing is committed at the
// end) the import runs slices while another window works in between; each
// step's check is a bit of the exit code.
TEST_F(ImportTransactionTest, AnotherWindowsChangeCommitsTheImportAndACrashKeepsWhatWasCommitted) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    files::Open(Passwords().Block(), 0x42);
    CsvReader reader(text_);
    Importer importer(reader, Plan());
    std::int32_t percent = 0;
    int failed = 0;
    auto check = [&failed](int bit, bool ok) { failed |= ok ? 0 : 1 << bit; };
    check(0, importer.Start() && importer.Slice(percent) && importer.Slice(percent));
    check(1, TransactionActive());  // 50 added, left open between slices
    support::PostError(support::kFileNotFound);
    RememberFileError();  // another window's failed read: commits the 50
    check(2, !TransactionActive());
    check(3, importer.Slice(percent));              // 75, a new transaction
    check(4, AddInOwnTransaction("other"));         // commits the 75 first, then "other"
    check(5, importer.Slice(percent));              // 100
    check(6, !AddInOwnTransaction("s3"));           // a duplicate: refused, the 100 stay
    check(7, importer.Slice(percent) && TransactionActive());  // 125, never committed
    check(8, importer.Added() == 125);
    ::_exit(failed);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed steps, one bit each";
  EXPECT_EQ(files::hvn::CheckHvnFile(scratch_ + "/Vtrix_P.HVN", "OrbitPlumeCasketNimbleFox"), "");
  // Record order: the first 75, the other window's entry, the next 25.
  std::string expected = Expected(75, "other ");
  for (int i = 75; i < 100; ++i) expected += "s" + std::to_string(i) + " ";
  EXPECT_EQ(Services(), expected);
}

TEST_F(ImportTransactionTest, TheEndOfTheFileAndFinishCommitEverything) {
  files::Open(Passwords().Block(), 0x42);
  {
    CsvReader reader(text_);
    Importer importer(reader, Plan());
    std::int32_t percent = 0;
    ASSERT_TRUE(importer.Start());
    while (importer.Slice(percent)) {
    }
    EXPECT_EQ(percent, 100);
    EXPECT_FALSE(TransactionActive());
    EXPECT_EQ(importer.Added(), kLines);
  }
  {
    // A Cancel after two slices: Finish commits them.
    const std::string text = "\"t1\",\"n\"\r\n\"t2\",\"n\"\r\n" + text_;
    CsvReader reader(text);
    ImportPlan plan = Plan();
    plan.user = "Bob";
    Importer importer(reader, plan);
    std::int32_t percent = 0;
    ASSERT_TRUE(importer.Start() && importer.Slice(percent) && importer.Slice(percent));
    EXPECT_TRUE(TransactionActive());
    importer.Finish();
    EXPECT_FALSE(TransactionActive());
    EXPECT_EQ(importer.Added(), 50);
  }
  files::Close(Passwords().Block());
  EXPECT_EQ(Services(), Expected(kLines, "t1 t2 ") + Expected(48, ""));
}

}  // namespace
}  // namespace vaultrix::app
