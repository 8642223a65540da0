// Views over a keyed HVN file: the generic view engine reading the file
// through its NOCASE DUP key and a filter, in both directions, with
// positions and a start put by SET(key, key), checked against the records
// the file was given.
#include <algorithm>
#include <map>
#include <random>

#include "runtime/files/hvn/driver.h"
#include "runtime/support/locale.h"
#include "tests/eval/view_test_support.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::eval {
namespace {

using Strings = std::vector<std::string>;

class HvnViewTest : public ViewTest {
 protected:
  const files::DriverRegistration& Driver() override { return files::HalverinDriver(); }
  std::string FileName() override { return dir_.Path("entries"); }
  void PrepareFile() override { files::Create(File()); }
  void TearDown() override {
    files::Close(File());
    ViewTest::TearDown();
  }
  void OpenWithFilter(std::string_view filter) {
    files::SetProperty(View(), kPropFilter, filter);
    ASSERT_EQ(support::ErrorCode(), 0);
    files::Open(View());
    ASSERT_EQ(support::ErrorCode(), 0);
  }

  vaultrix::testing::ScratchDir& dir_ = files::hvn::testing::FastScratchDir();
};

TEST_F(HvnViewTest, FilterBothWaysPositionsAndAStartByValue) {
  AddRecord("bob", "mail", 3);
  AddRecord("Alice", "bank", 5);
  AddRecord("BOB", "bank", 1);
  AddRecord("alice", "zoo", 2);
  AddRecord("bob", "Zebra", 4);
  files::Set(ServiceKey());
  range_ = "BOB";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(ReadAll(), (Strings{"bank", "mail", "Zebra"}));
  EXPECT_EQ(ReadAll(true), (Strings{"Zebra", "mail", "bank"}));

  files::Open(View());
  files::Next(View());
  files::Next(View());
  const std::string position = files::Position(View());
  ASSERT_EQ(support::ErrorCode(), 0);
  files::Next(View());
  EXPECT_EQ(Service(), "Zebra");
  files::Reset(View(), position);
  files::Next(View());
  EXPECT_EQ(Service(), "mail");
  files::Previous(View());
  EXPECT_EQ(Service(), "bank");
  files::Reget(View(), position);
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Service(), "mail");

  SetRecord("BOB", "m", 0);
  files::Set(ServiceKey(), ServiceKey());
  ASSERT_EQ(support::ErrorCode(), 0);
  files::Open(View());
  EXPECT_EQ(ReadAll(), (Strings{"mail", "Zebra"}));
  files::Open(View());
  EXPECT_EQ(ReadAll(true), (Strings{"bank"}));
}

TEST_F(HvnViewTest, EveryUserReadsTheirOwnRecordsInKeyOrder) {
  std::mt19937 random(42);
  const Strings users = {"ann", "Bob", "carl", "DORA", "eve", "fred", "gus", "hal", "ida", "jo"};
  std::map<std::string, std::vector<std::pair<std::string, int>>> expected;  // lower user
  for (int i = 0; i < 600; ++i) {
    std::string user = users[random() % users.size()];
    if (random() % 3 == 0) user = support::ToUpper(user);
    std::string service = "s" + std::to_string(random() % 400);
    AddRecord(user, service, i);
    expected[support::ToLower(user)].emplace_back(service, i);
  }
  files::Set(ServiceKey());
  files::SetProperty(View(), kPropFilter, "UPPER(P_:User) = UPPER(Range)");
  for (const std::string& user : users) {
    auto& records = expected[support::ToLower(user)];
    // Equal services stay in the order they were added (record numbers).
    std::stable_sort(records.begin(), records.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    Strings services;
    for (const auto& record : records) services.push_back(record.first);
    range_ = user;
    files::Open(View());
    ASSERT_EQ(support::ErrorCode(), 0);
    EXPECT_EQ(ReadAll(), services) << user;
    files::Open(View());
    std::reverse(services.begin(), services.end());
    EXPECT_EQ(ReadAll(true), services) << user;
  }
}

}  // namespace
}  // namespace vaultrix::eval
