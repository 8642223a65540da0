// Shared helpers of the evaluator tests: each test starts from empty symbol
// tables and a clear error state.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "runtime/eval/expression.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/support/error_state.h"

namespace vaultrix::eval {

class EvalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSymbolTables();
    support::ClearError();
  }
  void TearDown() override { ResetSymbolTables(); }

  static bool Compiles(std::string_view text) { return Compile(text) != nullptr; }

  static std::string Text(std::string_view text) {
    auto expression = Compile(text);
    EXPECT_NE(expression, nullptr) << text;
    return expression == nullptr ? "<no compile>" : expression->EvaluateString();
  }
  static double Real(std::string_view text) {
    auto expression = Compile(text);
    EXPECT_NE(expression, nullptr) << text;
    return expression == nullptr ? -999999 : expression->EvaluateReal();
  }
  static std::int32_t Long(std::string_view text) {
    auto expression = Compile(text);
    EXPECT_NE(expression, nullptr) << text;
    return expression == nullptr ? -999999 : expression->EvaluateLong();
  }
  static bool Truth(std::string_view text) {
    auto expression = Compile(text);
    EXPECT_NE(expression, nullptr) << text;
    return expression != nullptr && expression->EvaluateTruth();
  }
};

}  // namespace vaultrix::eval
