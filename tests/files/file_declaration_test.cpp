// Declaring files: the blocks and descriptor a declaration produces, and the
// check that a C++ record structure agrees with them.
#include "runtime/files/file_declaration.h"

#include <cstring>

#include <gtest/gtest.h>

#include "runtime/files/driver.h"

namespace vaultrix::files {
namespace {

const DriverRegistration kNoDriver{};

struct PasswordRecord {
  char user[30];
  char service[30];
  char url[90];
  char name[30];
  char password[30];
  char confirm_password[30];
};

FileDeclaration PasswordsDeclaration() {
  return FileDeclaration("Vtrix_P")
      .Owner("OrbitPlumeCasketNimbleFox")
      .Attributes(0x17)
      .Field(StringField("P_:User", 30))
      .Field(StringField("P_:Service", 30))
      .Field(StringField("P_:URL", 90))
      .Field(StringField("P_:Name", 30))
      .Field(StringField("P_:Password", 30))
      .Field(StringField("P_:ConfirmPassword", 30))
      .Key("P_:KEYSERVICE", kKeyNoCase | kKeyOpt, {"P_:User", "P_:Service", "P_:Name"})
      .Key("P_:KEYURL", kKeyNoCase | kKeyDup, {"P_:User", "P_:URL", "P_:Name"})
      .Memo("P_:Notes", 10000)
      .Memo("P_:MoreNotes", 5000);
}

TEST(FileDeclaration, BuildsLinkedBlocks) {
  PasswordRecord record{};
  auto file = PasswordsDeclaration().Build(kNoDriver, reinterpret_cast<std::uint8_t*>(&record));
  FileBlock& block = file->Block();
  EXPECT_EQ(block.driver, &kNoDriver);
  EXPECT_EQ(block.name.View(), "Vtrix_P");
  EXPECT_EQ(block.owner.View(), "OrbitPlumeCasketNimbleFox");
  EXPECT_EQ(block.attributes, 0x17);
  EXPECT_EQ(block.record_size, 240u);
  EXPECT_EQ(block.record, reinterpret_cast<std::uint8_t*>(&record));
  EXPECT_EQ(block.key_count, 2);
  EXPECT_EQ(block.keys[0], &file->Key(0));
  EXPECT_EQ(block.keys[2], nullptr);
  EXPECT_EQ(block.memo_count, 2);
  EXPECT_EQ(block.memos[1]->size, 5000u);
  EXPECT_EQ(block.memos[1]->label.View(), "P_:MoreNotes");
  const KeyBlock& url = file->Key(1);
  EXPECT_EQ(url.label.View(), "P_:KEYURL");
  EXPECT_EQ(url.file, &block);
  ASSERT_EQ(url.component_count, 3);
  EXPECT_EQ(url.components[0], 1);
  EXPECT_EQ(url.components[1], 3);
  EXPECT_EQ(url.components[2], 4);
  EXPECT_EQ(block.layout, file->Descriptor().data());
  EXPECT_EQ(block.layout_size, file->Descriptor().size());
}

TEST(FileDeclaration, RecordStructureAgreesWithDescriptor) {
  auto file = PasswordsDeclaration().Build(kNoDriver);
  EXPECT_EQ(CheckRecordLayout(
                file->Descriptor(), sizeof(PasswordRecord),
                {VAULTRIX_RECORD_MEMBER(PasswordRecord, user, "P_:User"),
                 VAULTRIX_RECORD_MEMBER(PasswordRecord, service, "P_:Service"),
                 VAULTRIX_RECORD_MEMBER(PasswordRecord, url, "P_:URL"),
                 VAULTRIX_RECORD_MEMBER(PasswordRecord, name, "P_:Name"),
                 VAULTRIX_RECORD_MEMBER(PasswordRecord, password, "P_:Password"),
                 VAULTRIX_RECORD_MEMBER(PasswordRecord, confirm_password, "P_:ConfirmPassword")}),
            "");
}

TEST(FileDeclaration, MismatchedStructureIsReported) {
  struct Swapped {
    char service[30];
    char user[30];
  };
  auto file = FileDeclaration("x")
                  .Field(StringField("X:User", 30))
                  .Field(StringField("X:Service", 30))
                  .Field(StringField("X:Extra", 1))
                  .Build(kNoDriver);
  const std::string differences =
      CheckRecordLayout(file->Descriptor(), sizeof(Swapped),
                        {VAULTRIX_RECORD_MEMBER(Swapped, user, "X:User"),
                         VAULTRIX_RECORD_MEMBER(Swapped, service, "X:Service"),
                         {"X:Missing", 0, 1}});
  EXPECT_NE(differences.find("record size 61"), std::string::npos) << differences;
  EXPECT_NE(differences.find("X:User declared at 0"), std::string::npos) << differences;
  EXPECT_NE(differences.find("X:Missing is not declared"), std::string::npos) << differences;
}

TEST(FileDeclaration, DecimalAndNameVariable) {
  auto file = FileDeclaration("VTRIX_T")
                  .Attributes(0x1C)
                  .Field(DecimalField("TIP:TipID", 11, 0))
                  .Key("TIP:KEYTIPID", kKey10, {"TIP:TipID"})
                  .Memo("TIP:TipDesc", 1000)
                  .Build(kNoDriver);
  EXPECT_EQ(file->Block().record_size, 6u);
  char name[80];
  std::memset(name, ' ', sizeof name);
  std::memcpy(name, "export.csv", 10);
  file->SetNameVariable(name, sizeof name);
  EXPECT_EQ(file->Block().name.data, name);
  EXPECT_EQ(file->Block().name.length, 80u);
}

}  // namespace
}  // namespace vaultrix::files
