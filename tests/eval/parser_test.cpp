// The scanner and parser: literals, quotes, comparison spellings,
// precedence, parameter counts and what must not compile.
#include "tests/eval/eval_test_support.h"

#include "runtime/support/error_codes.h"

namespace vaultrix::eval {
namespace {

class ParserTest : public EvalTest {
 protected:
  void SetUp() override {
    EvalTest::SetUp();
    BIND("x", Ref(x_));
    BIND("a", Ref(a_));
  }
  std::int32_t x_ = 3;
  support::FixedString<10> a_{"O'Brien"};
};

TEST_F(ParserTest, DoubledQuoteStandsForOneQuote) {
  EXPECT_TRUE(Truth("a = 'O''Brien'"));
  EXPECT_FALSE(Truth("a = 'OBrien'"));
  EXPECT_EQ(Text("'it''s'"), "it's");
  EXPECT_EQ(Text("''''"), "'");
}

TEST_F(ParserTest, UnclosedStringFailsTheWholeCompile) {
  EXPECT_FALSE(Compiles("a = 'O''Brien"));
  EXPECT_FALSE(Compiles("'abc"));
  EXPECT_EQ(support::ErrorCode(), support::kInvalidExpression);
}

TEST_F(ParserTest, NumberLiteralKinds) {
  auto twelve = Compile("12");
  ASSERT_NE(twelve, nullptr);
  EXPECT_EQ(twelve->Type(), ResultType::kLong);
  auto real = Compile("1.5E2");
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(real->Type(), ResultType::kReal);
  EXPECT_DOUBLE_EQ(real->EvaluateReal(), 150.0);
  auto half = Compile(".5");
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(half->Type(), ResultType::kReal);
  EXPECT_DOUBLE_EQ(half->EvaluateReal(), 0.5);
  EXPECT_DOUBLE_EQ(Real("2.5e-1"), 0.25);
  EXPECT_DOUBLE_EQ(Real("0.1"), 0.1);
  // Beyond a long the literal keeps its value as a real.
  EXPECT_DOUBLE_EQ(Real("3000000000"), 3000000000.0);
  EXPECT_EQ(Text("12"), "12");
  // Without a "." there is no exponent: 1E5 is 1 followed by a name.
  EXPECT_FALSE(Compiles("1E5"));
  EXPECT_EQ(Text("1.5E2"), "150");
}

TEST_F(ParserTest, NotAndTildeNegate) {
  EXPECT_FALSE(Truth("~(x = 3)"));
  EXPECT_FALSE(Truth("NOT x = 3"));
  EXPECT_TRUE(Truth("NOT x = 4"));
  EXPECT_TRUE(Truth("not x = 4"));
  // An even number cancels out: NOT NOT x is x itself.
  auto twice = Compile("NOT NOT x");
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->EvaluateLong(), 3);
  EXPECT_EQ(Long("~~~x"), 0);
}

TEST_F(ParserTest, EveryComparisonSpelling) {
  struct Case {
    const char* text;
    bool expected;  // x is 3
  };
  const Case cases[] = {
      {"x = 3", true},   {"x <> 3", false}, {"x ~= 3", false}, {"x < 4", true},
      {"x > 2", true},   {"x <= 3", true},  {"x =< 3", true},  {"x ~> 3", true},
      {"x ~> 2", false}, {"x >= 3", true},  {"x => 3", true},  {"x ~< 3", true},
      {"x ~< 4", false}, {"x < 3", false},  {"x > 3", false},  {"x <= 2", false},
      {"x < > 4", true}, {"x >= 4", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Truth(c.text), c.expected) << c.text;
}

TEST_F(ParserTest, ComparisonTypes) {
  // Strings compare blank padded through the collation table.
  EXPECT_TRUE(Truth("'abc' = 'abc   '"));
  EXPECT_TRUE(Truth("'abc' < 'abd'"));
  // A string and a number compare as numbers.
  EXPECT_TRUE(Truth("'10' > 9"));
  EXPECT_TRUE(Truth("'10' < '9'"));  // two strings: text order
  EXPECT_TRUE(Truth("x = 3.0"));
}

TEST_F(ParserTest, PrecedenceLevels) {
  EXPECT_DOUBLE_EQ(Real("1 + 2 * 3"), 7);
  EXPECT_DOUBLE_EQ(Real("(1 + 2) * 3"), 9);
  EXPECT_DOUBLE_EQ(Real("2 ^ 3 ^ 2"), 64);  // left-associative
  EXPECT_DOUBLE_EQ(Real("-2 ^ 2"), 4);      // the sign binds tighter than ^
  EXPECT_DOUBLE_EQ(Real("10 - 4 - 3"), 3);
  EXPECT_DOUBLE_EQ(Real("7 % 4"), 3);
  EXPECT_DOUBLE_EQ(Real("--+-5"), -5);
  EXPECT_EQ(Text("1 + 1 & 'x'"), "2x");
  EXPECT_TRUE(Truth("x = 3 AND x < 5 OR x = 9"));
  EXPECT_TRUE(Truth("x = 4 OR x = 3 AND x < 5"));
  EXPECT_FALSE(Truth("x = 3 XOR x < 5"));
  EXPECT_TRUE(Truth("1 = 1 = 1"));  // (1 = 1) = 1
}

TEST_F(ParserTest, FunctionsNeedTheirBrackets) {
  EXPECT_FALSE(Compiles("TODAY"));
  EXPECT_TRUE(Compiles("TODAY()"));
  EXPECT_FALSE(Compiles("TODAY(1)"));
  EXPECT_FALSE(Compiles("UPPER('a'"));
}

TEST_F(ParserTest, ParameterCounts) {
  EXPECT_FALSE(Compiles("UPPER('a', 'b')"));
  EXPECT_TRUE(Compiles("SUB('abc', 2)"));
  EXPECT_EQ(Text("SUB('abcdef', 3)"), "cdef");
  EXPECT_FALSE(Compiles("RIGHT('abc', 2)"));
  EXPECT_TRUE(Compiles("LEFT('abc', 2)"));
  EXPECT_TRUE(Compiles("UPPER()"));
  std::string many = "INLIST(1";
  for (int i = 0; i < 24; ++i) many += ",1";
  EXPECT_TRUE(Compiles(many + ")"));
  EXPECT_FALSE(Compiles(many + ",1)"));
}

TEST_F(ParserTest, TextLeftAfterTheExpressionFails) {
  EXPECT_FALSE(Compiles("x 3"));
  EXPECT_FALSE(Compiles("x = 3)"));
  EXPECT_FALSE(Compiles("x = 3,"));
  EXPECT_FALSE(Compiles("x ~ 3"));
  EXPECT_FALSE(Compiles(""));
  EXPECT_FALSE(Compiles("x = "));
  EXPECT_FALSE(Compiles("x # 3"));
  EXPECT_EQ(support::ErrorCode(), support::kInvalidExpression);
}

TEST_F(ParserTest, UnboundNamePosts801) {
  EXPECT_FALSE(Compiles("y = 3"));
  EXPECT_EQ(support::ErrorCode(), support::kNoBindOnVariable);
  EXPECT_EQ(support::Error(), "No BIND on variable");
}

TEST_F(ParserTest, NamesAreCaseInsensitive) {
  EXPECT_TRUE(Truth("X = 3"));
  EXPECT_TRUE(Truth("upper('a') = 'A'"));
}

TEST_F(ParserTest, PictureLiterals) {
  EXPECT_EQ(Text("@n10.2"), "@n10.2");
  EXPECT_EQ(Text("FORMAT(x, @n10.2)"), "3");
  EXPECT_EQ(Text("@P(###) ###-####PB & '|'"), "@P(###) ###-####PB|");
  EXPECT_EQ(Text("@n~ kg ~12 & '|'"), "@n~ kg ~12|");
  EXPECT_EQ(Text("@s(1,2) & '|'"), "@s(1,2)|");
  EXPECT_FALSE(Compiles("@P###"));
}

TEST_F(ParserTest, DeepNestingIsRefusedNotOverflowed) {
  std::string deep(100000, '(');
  EXPECT_FALSE(Compiles(deep + "1"));
  std::string chain = "1";
  for (int i = 0; i < 20000; ++i) chain += "+1";
  EXPECT_FALSE(Compiles(chain));
  std::string signs(100000, '-');
  EXPECT_TRUE(Compiles(signs + "1"));
}

TEST_F(ParserTest, OrderListDirections) {
  auto list = CompileList(" -x, +a ,x*2");
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 3u);
  EXPECT_TRUE((*list)[0].descending);
  EXPECT_FALSE((*list)[1].descending);
  EXPECT_FALSE((*list)[2].descending);
  EXPECT_DOUBLE_EQ((*list)[2].expression->EvaluateReal(), 6);
  EXPECT_FALSE(CompileList("x,").has_value());
  EXPECT_FALSE(CompileList("x, nothing").has_value());
  EXPECT_TRUE(CompileList("")->empty());
}

}  // namespace
}  // namespace vaultrix::eval
