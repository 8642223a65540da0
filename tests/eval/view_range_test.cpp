// The key range stop: on random data, a filter reader that jumps to the
// pinned key range and stops at its edge returns exactly what a plain
// filter reader returns, from every kind of start and through turns, while
// stepping over far fewer entries.
#include "tests/eval/view_test_support.h"

#include <cstdint>
#include <random>

#include "runtime/support/locale.h"

#include "runtime/eval/view_reader.h"
#include "runtime/files/dispatch.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::eval {
namespace {

class ViewRangeTest : public ViewTest {
 protected:
  std::string RandomText(std::size_t length, bool mixed_case) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz_ ";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
      char c = kLetters[random_() % (sizeof kLetters - 1)];
      if (mixed_case && random_() % 2 == 0 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      text.push_back(c);
    }
    return text;
  }

  std::string RandomUser() {
    // Prefixes of each other and "_", which sorts between the cases.
    static const char* kUsers[] = {"ann", "bob", "bobby", "bo", "b_b", "carl", "dora", "ed", "fay", "jo"};
    std::string user = kUsers[random_() % 10];
    for (char& c : user) {
      if (random_() % 3 == 0) c = static_cast<char>(c - 32);
    }
    return user;
  }

  void Fill(int count) {
    for (int i = 0; i < count; ++i) {
      AddRecord(RandomUser(), RandomText(3, true), static_cast<std::int32_t>(random_() % 20) - 5);
    }
  }

  // One way of putting the file at its start.
  struct Start {
    int kind;  // 0 SET key, 1 SET key with a value, 2 RESET to a position
    files::KeyBlock* key;
    EntryRecord value;
    std::string position;
  };

  void Establish(const Start& start) {
    if (start.kind == 0) {
      files::Set(*start.key);
    } else if (start.kind == 1) {
      record_ = start.value;
      files::Set(*start.key, *start.key);
    } else {
      files::Reset(*start.key, start.position);
    }
    ASSERT_EQ(support::ErrorCode(), 0);
  }

  // Runs `moves` (true: PREVIOUS) on a fresh reader chain; the outcomes.
  std::vector<std::string> Run(const Start& start, Expression& filter, bool range,
                               const std::vector<bool>& moves, std::int64_t* steps) {
    Establish(start);
    auto reader = MakeFilterReader(MakeBaseReader(File()), File(), filter, range);
    EXPECT_EQ(reader->Start(), 0);
    const std::int64_t before = Table().steps;
    std::vector<std::string> outcomes;
    for (bool backward : moves) {
      const std::int32_t code = reader->Read(backward);
      if (code == 0) {
        outcomes.emplace_back(reinterpret_cast<const char*>(&record_), sizeof record_);
      } else {
        outcomes.push_back("code " + std::to_string(code));
        if (code == support::kRecordNotAvailable) (void)reader->Start();
      }
    }
    *steps += Table().steps - before;
    return outcomes;
  }

  Start RandomStart(files::KeyBlock& key) {
    Start start{static_cast<int>(random_() % 3), &key, {}, {}};
    if (start.kind == 1) {
      SetRecord(RandomUser(), RandomText(2, true), static_cast<std::int32_t>(random_() % 20) - 5);
      start.value = record_;
    } else if (start.kind == 2) {
      files::Set(key);
      const int skip = static_cast<int>(random_() % 50) + 1;
      for (int i = 0; i < skip; ++i) files::Next(File());
      start.position = files::Position(key);
    }
    return start;
  }

  std::mt19937 random_{12345};
  support::FixedString<30> service_;
  std::int32_t wanted_count_ = 0;
};

TEST_F(ViewRangeTest, SameRecordsAsAPlainFilterReader) {
  Fill(600);
  BIND("Svc", Ref(service_));
  BIND("Wanted", Ref(wanted_count_));
  struct Case {
    const char* filter;
    bool count_key;
  };
  const Case cases[] = {
      {"UPPER(P_:User) = UPPER(Range)", false},
      {"Range = P_:User", false},
      {"LOWER(P_:User) = LOWER(Range) AND P_:Count > 3", false},
      {"UPPER(P_:User) = UPPER(Range) AND UPPER(P_:Service) = UPPER(Svc)", false},
      {"P_:Count = Wanted", true},
      {"P_:Count = Wanted AND NOT P_:User = 'bob'", true},
  };
  std::int64_t plain_steps = 0, range_steps = 0;
  for (const Case& c : cases) {
    auto filter = Compile(c.filter);
    ASSERT_NE(filter, nullptr) << c.filter;
    files::KeyBlock& key = c.count_key ? CountKey() : ServiceKey();
    for (int trial = 0; trial < 40; ++trial) {
      range_ = RandomUser();
      service_ = RandomText(3, true);
      wanted_count_ = static_cast<std::int32_t>(random_() % 20) - 5;
      const Start start = RandomStart(key);
      std::vector<bool> moves;
      const bool backward = random_() % 2 == 0;
      for (int i = 0; i < 90; ++i) moves.push_back(i < 60 ? backward : random_() % 3 == 0);
      const auto plain = Run(start, *filter, false, moves, &plain_steps);
      const auto ranged = Run(start, *filter, true, moves, &range_steps);
      ASSERT_EQ(plain, ranged) << c.filter << " trial " << trial << " start " << start.kind;
    }
  }
  EXPECT_LT(range_steps * 3, plain_steps);
}

TEST_F(ViewRangeTest, ReadingTheLastEntriesOfOneUserStaysInTheirRange) {
  Fill(2000);
  range_ = "carl";
  files::Set(ServiceKey());
  files::SetProperty(View(), kPropFilter, "UPPER(P_:User) = UPPER(Range)");
  files::Open(View());
  const std::int64_t before = Table().steps;
  for (int i = 0; i < 10; ++i) {
    files::Previous(View());
    ASSERT_EQ(support::ErrorCode(), 0);
    EXPECT_EQ(support::ToUpper(User()), "CARL");
  }
  // The jump costs one entry outside the range; the rest are carl's.
  EXPECT_LE(Table().steps - before, 11);
}

TEST_F(ViewRangeTest, AFailedReadLeavesTheRecordBufferAlone) {
  Fill(50);
  range_ = "nobody";
  files::Set(ServiceKey());
  files::SetProperty(View(), kPropFilter, "UPPER(P_:User) = UPPER(Range)");
  files::Open(View());
  SetRecord("kept", "as is", 7);
  const EntryRecord kept = record_;
  files::Next(View());
  EXPECT_EQ(support::ErrorCode(), support::kRecordNotAvailable);
  EXPECT_EQ(std::memcmp(&kept, &record_, sizeof kept), 0);
}

// A driver with a view engine of its own: the view hands every operation to
// it from its first use until CLOSE.
std::int32_t OwnEngine(files::Operation op, files::OperationCall& call) {
  if (op == files::Operation::kRecordsFile) call.result = 777;
  return 0;
}

std::int32_t EngineDriverDispatch(files::Operation op, files::OperationCall& call) {
  if (op == files::Operation::kViewRequest) {
    call.result = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(&OwnEngine));
  }
  return 0;
}

TEST_F(ViewRangeTest, ADriverWithAnEngineOfItsOwnServesTheView) {
  static const std::uint8_t kOperations[] = {2, 25, 74};
  static const std::uint8_t kTypes[] = {1, files::kTypeString};
  files::DriverRegistration driver;
  driver.dispatch = &EngineDriverDispatch;
  driver.operations = kOperations;
  driver.field_types = kTypes;
  auto file = files::FileDeclaration("Own").Field(files::StringField("O:Name", 10)).Build(driver);
  files::Open(file->Block());
  ASSERT_EQ(support::ErrorCode(), 0);
  DeclaredView view({&file->Block()});
  EXPECT_EQ(files::Records(view.Block()), 777);
  EXPECT_NE(view.View().engine, nullptr);
  files::Close(view.Block());
  EXPECT_EQ(view.View().engine, nullptr);
  files::Close(file->Block());
}

}  // namespace
}  // namespace vaultrix::eval
