// A passwords-like file over the in-memory driver, with the names bound,
// for the view tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/eval/expression.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/eval/view.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/support/error_state.h"
#include "tests/eval/memory_driver.h"

namespace vaultrix::eval {

struct EntryRecord {
  char user[30];
  char service[30];
  std::int32_t count;
};

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSymbolTables();
    support::ClearError();
    testing::MemoryTables().clear();
    file_ = files::FileDeclaration(FileName())
                .Attributes(0x17)
                .Field(files::StringField("P_:User", 30))
                .Field(files::StringField("P_:Service", 30))
                .Field(files::FixedField(files::kTypeLong, "P_:Count"))
                .Key("P_:KEYSERVICE", files::kKeyNoCase | files::kKeyDup, {"P_:User", "P_:Service"})
                .Key("P_:KEYCOUNT", files::kKeyDup, {"P_:Count"})
                .Build(Driver(), reinterpret_cast<std::uint8_t*>(&record_));
    PrepareFile();
    files::Open(File());
    ASSERT_EQ(support::ErrorCode(), 0);
    ASSERT_TRUE(BindRecord(File()));
    BIND("Range", Ref(range_));
    view_ = std::make_unique<DeclaredView>(std::vector<files::FileBlock*>{&File()});
  }
  void TearDown() override {
    view_.reset();
    file_.reset();
    ResetSymbolTables();
  }

  // The file the view reads: the in-memory table "Entries" unless a test
  // names another driver and file (made by PrepareFile before OPEN).
  virtual const files::DriverRegistration& Driver() { return testing::MemoryDriver(); }
  virtual std::string FileName() { return "Entries"; }
  virtual void PrepareFile() {}

  files::FileBlock& File() { return file_->Block(); }
  files::KeyBlock& ServiceKey() { return file_->Key(0); }
  files::KeyBlock& CountKey() { return file_->Key(1); }
  files::FileBlock& View() { return view_->Block(); }
  testing::MemoryTable& Table() { return testing::MemoryTables()["Entries"]; }

  void SetRecord(const std::string& user, const std::string& service, std::int32_t count) {
    std::memset(&record_, ' ', sizeof record_);
    std::memcpy(record_.user, user.data(), std::min<std::size_t>(user.size(), 30));
    std::memcpy(record_.service, service.data(), std::min<std::size_t>(service.size(), 30));
    record_.count = count;
  }
  void AddRecord(const std::string& user, const std::string& service, std::int32_t count = 0) {
    SetRecord(user, service, count);
    files::Add(File());
    ASSERT_EQ(support::ErrorCode(), 0);
  }
  std::string Service() const { return std::string(support::CLIP(std::string_view(record_.service, 30))); }
  std::string User() const { return std::string(support::CLIP(std::string_view(record_.user, 30))); }

  // Reads the view to its end in one direction; the services read.
  std::vector<std::string> ReadAll(bool backward = false) {
    std::vector<std::string> services;
    while (true) {
      backward ? files::Previous(View()) : files::Next(View());
      if (support::ErrorCode() != 0) break;
      services.push_back(Service());
    }
    return services;
  }

  EntryRecord record_{};
  support::FixedString<30> range_;
  std::unique_ptr<files::DeclaredFile> file_;
  std::unique_ptr<DeclaredView> view_;
};

}  // namespace vaultrix::eval
