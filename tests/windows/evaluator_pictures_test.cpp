// FORMAT and DEFORMAT in expressions give what the pictures give.
#include <gtest/gtest.h>

#include "runtime/eval/expression.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/support/dates.h"
#include "runtime/windows/evaluator_pictures.h"
#include "runtime/windows/picture.h"

namespace vaultrix::windows {
namespace {

std::string Evaluate(std::string_view text) {
  auto expression = eval::Compile(text);
  EXPECT_NE(expression, nullptr) << text;
  return expression == nullptr ? "<no compile>" : expression->EvaluateString();
}

std::string Direct(const PictureValue& value, std::string_view picture_text) {
  Picture picture;
  EXPECT_TRUE(CompilePicture(picture_text, picture)) << picture_text;
  return FormatValue(value, picture).str();
}

class EvaluatorPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    eval::ResetSymbolTables();
    InstallEvaluatorPictures();
  }
  void TearDown() override {
    eval::InstallPictureFunctions(nullptr, nullptr);
    eval::ResetSymbolTables();
  }
};

TEST_F(EvaluatorPicturesTest, FormatGoesThroughThePicture) {
  EXPECT_EQ(Evaluate("FORMAT(1234.5, @n10.2)"), Direct(PictureValue::Real(1234.5), "@n10.2"));
  EXPECT_EQ(Evaluate("FORMAT(-7, @n6)"), Direct(PictureValue::Long(-7), "@n6"));
  const std::int32_t date = support::CivilToDate(2026, 12, 7);
  EXPECT_EQ(Evaluate("FORMAT(DATE(12, 7, 2026), @d2)"), Direct(PictureValue::Long(date), "@d2"));
  EXPECT_EQ(Evaluate("FORMAT('abc', @s5) & '|'"), "abc  |");
  EXPECT_NE(Evaluate("FORMAT(1234.5, @n10.2)"), "1234.5");  // not the plain text
  EXPECT_EQ(Evaluate("FORMAT(12, @q)"), "12");              // no such picture
}

TEST_F(EvaluatorPicturesTest, DeformatGivesTheValueAsPlainText) {
  EXPECT_EQ(Evaluate("DEFORMAT('1,234', @n8)"), "1234");
  EXPECT_EQ(Evaluate("DEFORMAT('1,234.50', @n10.2)"), "1234.50");
  EXPECT_EQ(Evaluate("DEFORMAT('abc', @n8)"), "");
  EXPECT_EQ(Evaluate("DEFORMAT(FORMAT(DATE(12, 7, 2026), @d2), @d2) = DATE(12, 7, 2026)"), "1");
}

}  // namespace
}  // namespace vaultrix::windows
