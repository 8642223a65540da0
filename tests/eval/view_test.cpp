// The generic view engine: filtering, both directions, positions, starts,
// the order list, write-through and the first-use request.
#include "tests/eval/view_test_support.h"

#include "runtime/files/dispatch.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::eval {
namespace {

using Strings = std::vector<std::string>;

class ViewEngineTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    AddRecord("bob", "mail", 3);
    AddRecord("Alice", "bank", 5);
    AddRecord("BOB", "bank", 1);
    AddRecord("alice", "zoo", 2);
    AddRecord("bob", "Zebra", 4);
    files::Set(ServiceKey());
  }
  void OpenWithFilter(std::string_view filter) {
    files::SetProperty(View(), kPropFilter, filter);
    ASSERT_EQ(support::ErrorCode(), 0);
    files::Open(View());
    ASSERT_EQ(support::ErrorCode(), 0);
  }
  void OperationStart(std::int64_t count) {
    files::OperationCall call;
    call.file = &View();
    call.number = count;
    files::Dispatch(files::Operation::kViewSkip, call);
  }
};

TEST_F(ViewEngineTest, FilterNoRecordSatisfiesGives33) {
  OpenWithFilter("UPPER(P_:User) = 'NOBODY'");
  files::Next(View());
  EXPECT_EQ(support::ErrorCode(), support::kRecordNotAvailable);
  EXPECT_EQ(support::Error(), "Record Not Available");
  EXPECT_EQ(support::ErrorFile(), "Entries");
  files::Previous(View());
  EXPECT_EQ(support::ErrorCode(), support::kRecordNotAvailable);
}

TEST_F(ViewEngineTest, ReadsInKeyOrderThroughTheFilterBothWays) {
  range_ = "BOB";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(ReadAll(), (Strings{"bank", "mail", "Zebra"}));
  EXPECT_EQ(ReadAll(true), (Strings{"Zebra", "mail", "bank"}));
}

TEST_F(ViewEngineTest, NextNextPreviousTurnsRound) {
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  files::Next(View());
  EXPECT_EQ(Service(), "bank");
  files::Next(View());
  EXPECT_EQ(Service(), "mail");
  files::Previous(View());
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Service(), "bank");
}

TEST_F(ViewEngineTest, AtTheEndTheCursorRewindsToItsStart) {
  range_ = "alice";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(ReadAll(), (Strings{"bank", "zoo"}));
  files::Next(View());
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Service(), "bank");
}

TEST_F(ViewEngineTest, ReopeningAfterTheBoundValueChangedReadsTheNewRange) {
  range_ = "alice";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(ReadAll(), (Strings{"bank", "zoo"}));
  range_ = "bob";
  files::Open(View());
  EXPECT_EQ(ReadAll(), (Strings{"bank", "mail", "Zebra"}));
}

TEST_F(ViewEngineTest, EmptyFilterTextRemovesTheFilter) {
  OpenWithFilter("P_:Count > 3");
  EXPECT_EQ(ReadAll().size(), 2u);
  files::SetProperty(View(), kPropFilter, "");
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(ReadAll().size(), 5u);
}

TEST_F(ViewEngineTest, FilterThatDoesNotCompileLeavesNoFilter) {
  files::SetProperty(View(), kPropFilter, "Unbound = 1");
  EXPECT_EQ(support::ErrorCode(), support::kNoBindOnVariable);
  files::Open(View());
  EXPECT_EQ(ReadAll().size(), 5u);
  files::SetProperty(View(), kPropFilter, "P_:Count = (1");
  EXPECT_EQ(support::ErrorCode(), support::kInvalidExpression);
}

TEST_F(ViewEngineTest, PopScopeInvalidatesAFilterBoundInTheProcedure) {
  PUSHSCOPE();
  ASSERT_TRUE(BindRecord(File()));
  BIND("Range", Ref(range_));
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(ReadAll().size(), 3u);
  POPSCOPE();
  PUSHSCOPE();
  files::SetProperty(View(), kPropFilter, "UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(support::ErrorCode(), support::kNoBindOnVariable);
  POPSCOPE();
}

TEST_F(ViewEngineTest, StartsWhereSetByKeyWithAValuePutTheFile) {
  SetRecord("BOB", "m", 0);
  files::Set(ServiceKey(), ServiceKey());
  ASSERT_EQ(support::ErrorCode(), 0);
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  EXPECT_EQ(ReadAll(), (Strings{"mail", "Zebra"}));
  // Reopened, the view starts there again.
  files::Open(View());
  EXPECT_EQ(ReadAll(true), (Strings{"bank"}));
}

TEST_F(ViewEngineTest, PositionResetAndReget) {
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  files::Next(View());
  files::Next(View());
  const std::string position = files::Position(View());
  ASSERT_EQ(support::ErrorCode(), 0);
  ASSERT_FALSE(position.empty());
  files::Next(View());
  EXPECT_EQ(Service(), "Zebra");
  files::Reset(View(), position);
  EXPECT_EQ(support::ErrorCode(), 0);
  files::Next(View());
  EXPECT_EQ(Service(), "mail");
  files::Reset(View(), position);
  files::Previous(View());
  EXPECT_EQ(Service(), "mail");
  files::Previous(View());
  EXPECT_EQ(Service(), "bank");
  files::Reget(View(), position);
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Service(), "mail");
}

TEST_F(ViewEngineTest, SkipRecordsAndGetByPointer) {
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  files::Skip(View(), 2);
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Service(), "mail");
  files::Skip(View(), 5);
  EXPECT_EQ(support::ErrorCode(), support::kRecordNotAvailable);
  EXPECT_EQ(files::Records(View()), 5);
  files::Get(View(), 2);
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(User(), "Alice");
}

TEST_F(ViewEngineTest, SkipBackwardAndAClosedPrimaryFile) {
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  files::Skip(View(), 3);
  EXPECT_EQ(Service(), "Zebra");
  files::Skip(View(), -2);
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Service(), "bank");
  files::Close(File());
  files::Open(View());
  files::Next(View());
  EXPECT_EQ(support::ErrorCode(), support::kFileNotOpen);
}

TEST_F(ViewEngineTest, WriteThroughReachesThePrimaryFile) {
  range_ = "alice";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  files::Next(View());
  record_.count = 99;
  files::Put(View());
  EXPECT_EQ(support::ErrorCode(), 0);
  files::Hold(View());
  files::Release(View());
  files::Watch(View());
  EXPECT_EQ(Table().passed, 3);
  files::Delete(View());
  EXPECT_EQ(support::ErrorCode(), 0);
  files::Open(View());
  EXPECT_EQ(ReadAll(), (Strings{"zoo"}));
  files::Add(View());
  EXPECT_EQ(support::ErrorCode(), support::kUnsupportedFileDriverFunction);
}

TEST_F(ViewEngineTest, OrderListSortsAndRefusesWriteThrough) {
  files::SetProperty(View(), kPropOrder, "-P_:Count");
  ASSERT_EQ(support::ErrorCode(), 0);
  files::Open(View());
  std::vector<std::int32_t> counts;
  for (files::Next(View()); support::ErrorCode() == 0; files::Next(View())) {
    counts.push_back(record_.count);
  }
  EXPECT_EQ(counts, (std::vector<std::int32_t>{5, 4, 3, 2, 1}));
  files::Previous(View());
  EXPECT_EQ(record_.count, 1);
  files::Previous(View());
  EXPECT_EQ(record_.count, 2);
  files::Put(View());
  EXPECT_EQ(support::ErrorCode(), support::kUnsupportedFileDriverFunction);
  // Start by order values: from the records whose count does not come
  // before 3 in the list's (descending) order.
  record_.count = 3;
  OperationStart(1);
  files::Next(View());
  EXPECT_EQ(record_.count, 3);
  files::Next(View());
  EXPECT_EQ(record_.count, 2);
}

TEST_F(ViewEngineTest, CloseForgetsFilterAndOrder) {
  range_ = "bob";
  OpenWithFilter("UPPER(P_:User) = UPPER(Range)");
  files::Close(View());
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(View().state, nullptr);
  files::Open(View());
  EXPECT_EQ(ReadAll().size(), 5u);
}

}  // namespace
}  // namespace vaultrix::eval
