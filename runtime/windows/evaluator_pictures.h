// FORMAT and DEFORMAT of the expression evaluator through display
// pictures. The evaluator sits below the window engine and cannot reach the
// pictures itself; the start-up installs these functions into it once,
// before any expression is compiled.
#pragma once

#include <string>
#include <string_view>

#include "runtime/eval/picture_hooks.h"

namespace vaultrix::windows {

// FORMAT(value, picture): the value's display text; a picture that does
// not compile leaves the value's plain text.
[[nodiscard]] std::string FormatForEvaluator(const eval::FormatArgument& value,
                                             std::string_view picture);
// DEFORMAT(text, picture): the value the text stands for, as plain text;
// empty when the text does not fit the picture, the text itself when the
// picture does not compile.
[[nodiscard]] std::string DeformatForEvaluator(std::string_view text, std::string_view picture);

void InstallEvaluatorPictures();

}  // namespace vaultrix::windows
