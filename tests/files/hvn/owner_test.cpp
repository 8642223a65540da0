// Files with an owner password through the driver: every byte on the disk
// enciphered, the password checked only by the header, contexts shared.
#include <gtest/gtest.h>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/cipher_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

class HvnOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = dir_.Path("secret"); }
  void Fill(const std::string& owner) {
    auto file = DeclareKeyedTable(path_, owner);
    Create(file->Block());
    Open(file->Block(), kAccessReadWrite | kDenyNone);
    ASSERT_EQ(ErrorCode(), 0);
    for (int i = 0; i < 200; ++i) {
      PutKeyed(*file, {"Visible" + std::to_string(i), i, i * 0.5, std::to_string(i + 1) + ".00"});
      SetMemo(*file, "note text " + std::to_string(i));
      Add(file->Block());
      ASSERT_EQ(ErrorCode(), 0);
    }
    Close(file->Block());
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
};

TEST_F(HvnOwnerTest, NothingReadableWithoutThePassword) {
  Fill("OrbitPlumeCasketNimbleFox");
  const std::string bytes = FileBytes(path_ + ".HVN");
  EXPECT_EQ(bytes.find("hAlV"), std::string::npos);
  EXPECT_EQ(bytes.find("Visible"), std::string::npos);
  EXPECT_EQ(bytes.find("note text"), std::string::npos);
  EXPECT_EQ(bytes.size() % kCipherBlockSize, 0u);
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN", "OrbitPlumeCasketNimbleFox"), "");
  EXPECT_NE(CheckHvnFile(path_ + ".HVN"), "");

  auto file = DeclareKeyedTable(path_, "OrbitPlumeCasketNimbleFox");
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  Set(file->Key(kKeyName));
  Previous(file->Block());
  EXPECT_EQ(GetKeyed(*file).name, "Visible99");
  EXPECT_EQ(MemoOf(*file), "note text 99");
  Close(file->Block());
}

TEST_F(HvnOwnerTest, WrongOrMissingPasswordGives36AndLeavesTheFileAlone) {
  Fill("a");
  const std::string before = FileBytes(path_ + ".HVN");
  for (const std::string owner : {"b", "", "A", "a "}) {
    auto file = DeclareKeyedTable(path_, owner);
    Open(file->Block(), kAccessReadWrite | kDenyNone);
    EXPECT_EQ(ErrorCode(), codes::kInvalidDataFile) << "owner '" << owner << "'";
  }
  EXPECT_EQ(FileBytes(path_ + ".HVN"), before);
}

TEST_F(HvnOwnerTest, AnEmptyOwnerStoresThePlainFileAndAPasswordDoesNotOpenIt) {
  Fill("");
  const std::string bytes = FileBytes(path_ + ".HVN");
  EXPECT_EQ(bytes.compare(14, 4, "hAlV"), 0);
  auto file = DeclareKeyedTable(path_, "a");
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  EXPECT_EQ(ErrorCode(), codes::kInvalidDataFile);
}

TEST(HvnCipherContextsTest, SharedPerFileAndOwnerWhileHeld) {
  auto& dir = FastScratchDir();
  const std::string path = dir.Path("shared.HVN");
  EXPECT_EQ(SharedCipherContext(path, ""), nullptr);
  auto first = SharedCipherContext(path, "pw");
  auto again = SharedCipherContext(path, "pw");
  EXPECT_EQ(first, again);
  auto other_owner = SharedCipherContext(path, "pw2");
  EXPECT_NE(other_owner, first);
  EXPECT_NE(SharedCipherContext(dir.Path("other.HVN"), "pw"), first);
  EXPECT_EQ(first->Words(), CipherContext("pw").Words());
}

}  // namespace
}  // namespace vaultrix::files::hvn
