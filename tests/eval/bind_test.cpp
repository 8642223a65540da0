// BIND, scopes and the symbol table: rebinding, scope lifetime, bound values
// read at evaluation time, every variable kind, records by label.
#include "tests/eval/eval_test_support.h"

#include <cstring>

#include "runtime/files/file_declaration.h"
#include "runtime/files/record_layout.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/locale.h"

namespace vaultrix::eval {
namespace {

using BindTest = EvalTest;

TEST_F(BindTest, BoundValuesAreReadAtEveryEvaluation) {
  std::int32_t x = 1;
  BIND("x", Ref(x));
  auto expression = Compile("x * 10");
  ASSERT_NE(expression, nullptr);
  EXPECT_DOUBLE_EQ(expression->EvaluateReal(), 10);
  x = 7;
  EXPECT_DOUBLE_EQ(expression->EvaluateReal(), 70);
}

TEST_F(BindTest, RebindingKeepsOneSymbolForTheSecondVariable) {
  std::int32_t first = 1, second = 2;
  BIND("Value", Ref(first));
  const std::size_t count = SymbolCount();
  BIND("VALUE", Ref(second));
  EXPECT_EQ(SymbolCount(), count);
  EXPECT_EQ(Long("value"), 2);
}

TEST_F(BindTest, NameIsCutAtTheFirstCharacterThatCannotBelongToIt) {
  EXPECT_EQ(BindableName("P_:User = 3"), "P_:User");
  EXPECT_EQ(BindableName("Count# more"), "Count#");
  EXPECT_EQ(BindableName("Name$$"), "Name$");
  EXPECT_EQ(BindableName("Quote\"x"), "Quote\"");
  EXPECT_EQ(BindableName("=x"), "");
  EXPECT_EQ(BindableName(std::string(150, 'a')).size(), kMaxBindName);
  std::int32_t x = 5;
  const std::size_t before = SymbolCount();
  BIND(" leading blank", Ref(x));
  EXPECT_EQ(SymbolCount(), before);  // an empty name binds nothing
  BIND("Count#", Ref(x));
  EXPECT_EQ(Long("count#"), 5);
}

TEST_F(BindTest, BuiltinsComeOutAsABalancedTree) {
  (void)LookUpSymbol("x");
  EXPECT_EQ(SymbolCount(), 48u);
  // The insertion order is a pre-order walk of a tree of height 8 (INLIST,
  // inserted last, hangs one level below the rest); sorted insertion would
  // give 48.
  EXPECT_EQ(SymbolTreeHeight(), 8);
}

TEST_F(BindTest, PopScopeForgetsTheProcedureNames) {
  std::int32_t outer = 1, inner = 2;
  BIND("Outer", Ref(outer));
  PUSHSCOPE();
  BIND("Inner", Ref(inner));
  EXPECT_TRUE(Compiles("Inner = 2"));
  EXPECT_FALSE(Compiles("Outer = 1"));  // a new scope starts empty
  EXPECT_TRUE(Compiles("UPPER('a') = 'A'"));
  support::ClearError();
  POPSCOPE();
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_FALSE(Compiles("Inner = 2"));
  EXPECT_EQ(support::ErrorCode(), support::kNoBindOnVariable);
  EXPECT_TRUE(Compiles("Outer = 1"));
}

TEST_F(BindTest, PopScopeWithoutPushPosts802) {
  POPSCOPE();
  EXPECT_EQ(support::ErrorCode(), support::kMismatchedScope);
  EXPECT_EQ(support::Error(), "Mismatched POPSCOPE");
  PUSHSCOPE();
  PUSHSCOPE();
  EXPECT_EQ(ScopeDepth(), 2u);
  support::ClearError();
  POPSCOPE();
  POPSCOPE();
  EXPECT_EQ(support::ErrorCode(), 0);
  POPSCOPE();
  EXPECT_EQ(support::ErrorCode(), support::kMismatchedScope);
}

TEST_F(BindTest, EveryScalarKind) {
  std::uint8_t byte = 200;
  std::int16_t short_value = -3;
  std::uint16_t ushort = 65000;
  std::uint32_t ulong = 4000000000u;
  float sreal = 1.5f;
  double real = -2.25;
  support::Decimal decimal = *support::Decimal::Parse("12.345");
  std::uint8_t packed[4] = {};
  ASSERT_TRUE(support::TextToPacked("-123.45", packed, 4, 2));
  char cstring[8] = "abc";
  char pstring[8] = {3, 'x', 'y', 'z', 'q', 'q', 'q', 'q'};
  BIND("b", Ref(byte));
  BIND("s", Ref(short_value));
  BIND("us", Ref(ushort));
  BIND("ul", Ref(ulong));
  BIND("sr", Ref(sreal));
  BIND("r", Ref(real));
  BIND("d", Ref(decimal));
  BIND("p", PackedRef(packed, 4, 2));
  BIND("c", CStringRef(cstring, 8));
  BIND("ps", PStringRef(pstring, 8));
  EXPECT_EQ(Long("b"), 200);
  EXPECT_EQ(Long("s"), -3);
  EXPECT_EQ(Long("us"), 65000);
  EXPECT_DOUBLE_EQ(Real("ul"), 4000000000.0);
  EXPECT_EQ(Text("sr"), "1.5");
  EXPECT_EQ(Text("r"), "-2.25");
  EXPECT_EQ(Text("d"), "12.345");
  EXPECT_EQ(Text("p"), "-123.45");
  EXPECT_DOUBLE_EQ(Real("p + 1"), -122.45);
  EXPECT_EQ(Text("c & '|'"), "abc|");
  EXPECT_EQ(Text("ps & '|'"), "xyz|");
  EXPECT_EQ(Long("LEN(c)"), 3);
}

TEST_F(BindTest, MemoReadsItsBufferWhereverItIsNow) {
  files::MemoBlock memo;
  memo.size = 5;
  BIND("Notes", Ref(memo));
  auto expression = Compile("CLIP(Notes) & '|'");
  ASSERT_NE(expression, nullptr);
  EXPECT_EQ(expression->EvaluateString(), "|");  // no buffer yet
  char buffer[5] = {'h', 'i', ' ', ' ', ' '};
  memo.buffer = buffer;
  EXPECT_EQ(expression->EvaluateString(), "hi|");
}

struct PasswordRecord {
  char user[30];
  char service[30];
  std::int32_t count;
  std::int16_t scores[2][3];
};

TEST_F(BindTest, RecordFieldsByLabelWithArrays) {
  files::FieldDeclaration scores = files::FixedField(files::kTypeShort, "P_:Scores");
  scores.dimensions = {2, 3};
  const std::vector<std::uint8_t> layout = files::WriteRecordLayout(
      {files::StringField("P_:User", 30), files::StringField("P_:Service", 30),
       files::FixedField(files::kTypeLong, "P_:Count"), scores});
  PasswordRecord record;
  std::memset(&record, ' ', sizeof record);
  std::memcpy(record.user, "Alice", 5);
  record.count = 4;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 3; ++j) record.scores[i][j] = static_cast<std::int16_t>(10 * i + j);
  }
  ASSERT_TRUE(BindRecord(layout.data(), layout.data() + layout.size(),
                         reinterpret_cast<std::uint8_t*>(&record)));
  EXPECT_TRUE(Truth("UPPER(P_:User) = 'ALICE'"));
  EXPECT_EQ(Long("p_:count + 1"), 5);
  EXPECT_EQ(Long("P_:Scores[2, 3]"), 12);
  EXPECT_EQ(Long("P_:Scores[1, 2]"), 1);
  EXPECT_EQ(Long("P_:Scores[3, 1]"), 0);  // out of range reads as nothing
  EXPECT_EQ(Text("P_:User[2]"), "l");
  EXPECT_EQ(Text("P_:User[2 : 4]"), "lic");
  EXPECT_EQ(Text("P_:User[0 : 2]"), "Al");
  EXPECT_EQ(Text("P_:User[40 : 50]"), "");
  std::memcpy(record.user, "Bob  ", 5);
  EXPECT_FALSE(Truth("UPPER(P_:User) = 'ALICE'"));
  const std::uint8_t broken[3] = {0x16, 0, 1};
  EXPECT_FALSE(BindRecord(broken, broken + 3, reinterpret_cast<std::uint8_t*>(&record)));
}

TEST_F(BindTest, CaseFoldingFollowsTheLocaleTables) {
  support::Locale locale = support::DefaultLocale();
  locale.char_class[0xE9] = support::kCharLower;
  locale.char_class[0xC9] = support::kCharUpper;
  locale.upper[0xE9] = 0xC9;
  locale.lower[0xC9] = 0xE9;
  support::ReplaceLocale(locale);
  std::int32_t x = 9;
  BIND("caf\xE9", Ref(x));
  EXPECT_EQ(Long("CAF\xC9"), 9);
  EXPECT_EQ(Text("UPPER('caf\xE9')"), "CAF\xC9");
  support::ReplaceLocale(support::DefaultLocale());
}

}  // namespace
}  // namespace vaultrix::eval
