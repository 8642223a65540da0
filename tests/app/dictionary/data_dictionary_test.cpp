// The data dictionary: every declaration sets up cleanly at its first
// operation, carries the disk name, owner, attributes, keys and memos of the
// vault's files, and agrees with the C++ record structure the code reads.
#include "app/dictionary/data_dictionary.h"

#include <string>

#include <gtest/gtest.h>

#include "runtime/files/file_api.h"
#include "runtime/files/file_state.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_data_driver.h"

namespace vaultrix::app {
namespace {

using files::kKeyDup;
using files::kKeyNoCase;
using files::kKeyOpt;

class DataDictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestDisk::Reset();
    UseDataDriver(&testing::TestDataDriver());
  }
  void TearDown() override {
    for (std::size_t i = 0; i < kDeclarationCount; ++i) {
      if (Declaration(i).Block().state != nullptr) files::ReleaseFileState(Declaration(i).Block());
    }
    UseDataDriver(nullptr);
  }
};

std::string CheckPasswords(DataFile& file, const std::string& p) {
  return files::CheckRecordLayout(
      file.Descriptor(), sizeof(PasswordRecord),
      {VAULTRIX_RECORD_MEMBER(PasswordRecord, User, p + ":USER"),
       VAULTRIX_RECORD_MEMBER(PasswordRecord, Service, p + ":SERVICE"),
       VAULTRIX_RECORD_MEMBER(PasswordRecord, URL, p + ":URL"),
       VAULTRIX_RECORD_MEMBER(PasswordRecord, Name, p + ":NAME"),
       VAULTRIX_RECORD_MEMBER(PasswordRecord, Password, p + ":PASSWORD"),
       VAULTRIX_RECORD_MEMBER(PasswordRecord, ConfirmPassword, p + ":CONFIRMPASSWORD")});
}

std::string CheckUsers(DataFile& file, const std::string& p) {
  return files::CheckRecordLayout(
      file.Descriptor(), sizeof(UserRecord),
      {VAULTRIX_RECORD_MEMBER(UserRecord, Name, p + ":NAME"),
       VAULTRIX_RECORD_MEMBER(UserRecord, Password, p + ":PASSWORD"),
       VAULTRIX_RECORD_MEMBER(UserRecord, ConfirmPassword, p + ":CONFIRMPASSWORD")});
}

TEST_F(DataDictionaryTest, RecordStructuresAgreeWithTheirDescriptors) {
  EXPECT_EQ(CheckPasswords(Passwords(), "P_"), "");
  EXPECT_EQ(CheckPasswords(NewPasswords(), "PN_"), "");
  EXPECT_EQ(CheckPasswords(OldPasswords(), "PO_"), "");
  EXPECT_EQ(CheckPasswords(PasswordsAlias(), "PA_"), "");
  EXPECT_EQ(CheckUsers(Users(), "U_"), "");
  EXPECT_EQ(CheckUsers(UsersAlias(), "UA_"), "");
  EXPECT_EQ(files::CheckRecordLayout(Words().Descriptor(), sizeof(WordRecord),
                                     {VAULTRIX_RECORD_MEMBER(WordRecord, Word, "W_:WORD")}),
            "");
  EXPECT_EQ(files::CheckRecordLayout(TipOfTheDay().Descriptor(), sizeof(TipRecord),
                                     {VAULTRIX_RECORD_MEMBER(TipRecord, TipID, "TIP:TIPID")}),
            "");
}

TEST_F(DataDictionaryTest, EveryDeclarationSetsUpAtItsFirstOperation) {
  for (std::size_t i = 0; i < kDeclarationCount; ++i) {
    DataFile& file = Declaration(i);
    files::Create(file.Block());
    ASSERT_EQ(support::ERRORCODE(), 0) << file.Block().name.View() << ": " << support::ERROR();
    const files::FileState* state = file.Block().state;
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->keys.size(), file.Block().key_count);
    EXPECT_EQ(state->memos.size(), file.Block().memo_count);
    for (std::size_t m = 0; m < state->memos.size(); ++m) {
      EXPECT_EQ(file.MemoText(m).size(), state->memos[m].size);
      EXPECT_EQ(file.MemoText(m).front(), ' ') << "memo buffers start blank";
    }
  }
}

TEST_F(DataDictionaryTest, DiskNamesOwnersAndAttributes) {
  struct Expected {
    DataFile& file;
    const char* name;
    const char* owner;
    std::uint8_t attributes;
    std::uint32_t record_size;
    std::uint8_t keys;
    std::uint8_t memos;
    const char* label;
  };
  const Expected expected[] = {
      {Passwords(), "Vtrix_P", "OrbitPlumeCasketNimbleFox", 0x17, 240, 4, 2, "Passwords"},
      {NewPasswords(), "Vtrix_N", "OrbitPlumeCasketNimbleFox", 0x17, 240, 4, 2, "Passwords"},
      {OldPasswords(), "Vtrix_P", "OrbitPlumeCasketNimbleFox", 0x17, 240, 3, 2, "Passwords"},
      {PasswordsAlias(), "Vtrix_P", "OrbitPlumeCasketNimbleFox", 0x17, 240, 4, 2, "Passwords"},
      {Users(), "Vtrix_U", "MarrowKettleBlueOxenTrail", 0x17, 80, 1, 0, "Users"},
      {UsersAlias(), "Vtrix_U", "MarrowKettleBlueOxenTrail", 0x17, 80, 1, 0, "Users"},
      {Words(), "vtrix_w.hvn", "lanternquarryhobbitfernsmoked", 0x17, 20, 1, 0, "Words"},
      {TipOfTheDay(), "VTRIX_T", "", 0x1C, 6, 1, 1, "TipOfTheDay"},
  };
  for (const Expected& e : expected) {
    const files::FileBlock& block = e.file.Block();
    EXPECT_EQ(block.name.View(), e.name);
    EXPECT_EQ(block.owner.View(), e.owner);
    EXPECT_EQ(block.attributes, e.attributes) << e.name;
    EXPECT_EQ(block.record_size, e.record_size) << e.name;
    EXPECT_EQ(block.key_count, e.keys) << e.name;
    EXPECT_EQ(block.memo_count, e.memos) << e.name;
    EXPECT_EQ(e.file.Label(), e.label);
  }
  EXPECT_EQ(Passwords().Block().record, reinterpret_cast<std::uint8_t*>(&P_));
  EXPECT_EQ(UsersAlias().Block().record, reinterpret_cast<std::uint8_t*>(&UA_));
  EXPECT_EQ(TipOfTheDay().Block().record, TIP.TipID);
}

void ExpectKey(DataFile& file, std::size_t index, const char* label, std::uint32_t attributes,
               std::vector<std::int32_t> components) {
  const files::KeyBlock& key = file.Key(index);
  EXPECT_EQ(key.label.View(), label);
  EXPECT_EQ(key.attributes, attributes) << label;
  ASSERT_EQ(key.component_count, components.size()) << label;
  for (std::size_t c = 0; c < components.size(); ++c) {
    EXPECT_EQ(key.components[c], components[c]) << label << " component " << c;
  }
}

TEST_F(DataDictionaryTest, KeysOfTheCurrentAndTheOldLayout) {
  // Fields: 1 User, 2 Service, 3 URL, 4 Name, 5 Password, 6 ConfirmPassword.
  for (auto [file, p] : {std::pair<DataFile*, std::string>{&Passwords(), "P_"},
                         {&NewPasswords(), "PN_"},
                         {&PasswordsAlias(), "PA_"}}) {
    ExpectKey(*file, kKeyService, (p + ":KEYSERVICE").c_str(), kKeyNoCase | kKeyOpt, {1, 2, 4});
    ExpectKey(*file, kKeyName, (p + ":KEYNAME").c_str(), kKeyNoCase | kKeyOpt, {1, 4, 2});
    ExpectKey(*file, kKeyUrl, (p + ":KEYURL").c_str(), kKeyNoCase | kKeyDup, {1, 3, 4});
    ExpectKey(*file, kKeyPassword, (p + ":KEYPASSWORD").c_str(), kKeyNoCase | kKeyOpt | kKeyDup,
              {5, 4, 2});
    EXPECT_EQ(file->Memo(kMemoNotes).label.View(), p + ":NOTES");
    EXPECT_EQ(file->Memo(kMemoNotes).size, 10000u);
    EXPECT_EQ(file->Memo(kMemoMoreNotes).label.View(), p + ":MORENOTES");
    EXPECT_EQ(file->Memo(kMemoMoreNotes).size, 5000u);
  }
  ExpectKey(OldPasswords(), kOldKeyService, "PO_:KEYSERVICE", kKeyNoCase | kKeyOpt, {1, 2, 4});
  ExpectKey(OldPasswords(), kOldKeyUrl, "PO_:KEYURL", kKeyNoCase | kKeyOpt, {1, 3, 4});
  ExpectKey(OldPasswords(), kOldKeyName, "PO_:KEYNAME", kKeyNoCase | kKeyOpt, {1, 4, 2});
  EXPECT_EQ(OldPasswords().Memo(kMemoMoreNotes).size, 1000u);

  ExpectKey(Users(), kFirstKey, "U_:KEYNAME", kKeyNoCase | kKeyOpt, {1});
  ExpectKey(UsersAlias(), kFirstKey, "UA_:KEYNAME", kKeyNoCase | kKeyOpt, {1});
  ExpectKey(Words(), kFirstKey, "W_:KEYWORD", kKeyNoCase | kKeyOpt, {1});
  ExpectKey(TipOfTheDay(), kFirstKey, "TIP:KEYTIPID", kKeyNoCase | kKeyOpt | 0x10, {1});
  EXPECT_EQ(TipOfTheDay().Memo(kMemoTipDesc).label.View(), "TIP:TIPDESC");
  EXPECT_EQ(TipOfTheDay().Memo(kMemoTipDesc).size, 1000u);
}

TEST_F(DataDictionaryTest, WithoutADriverEveryOperationAnswersEighty) {
  UseDataDriver(nullptr);
  files::Open(Users().Block(), 0x42);
  EXPECT_EQ(support::ERRORCODE(), 80);
  EXPECT_EQ(Users().Block().state, nullptr);
}

TEST_F(DataDictionaryTest, ClearingTheBuffersBlanksThem) {
  P_.Password = "secret";
  U_.Name = "Ann";
  W_.Word = "word";
  TIP.TipID[0] = 0x12;
  ClearRecordBuffers();
  EXPECT_TRUE(P_.Password.IsBlank());
  EXPECT_TRUE(U_.Name.IsBlank());
  EXPECT_TRUE(W_.Word.IsBlank());
  EXPECT_EQ(TIP.TipID[0], 0);
}

}  // namespace
}  // namespace vaultrix::app
