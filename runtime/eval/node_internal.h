// The node classes that evaluation and shape inspection share. Each result
// type has a base that supplies the conversions to the other two types.
#pragma once

#include <string>

#include "runtime/eval/node.h"

namespace vaultrix::eval {

class LongNode : public Node {
 public:
  LongNode() : Node(ResultType::kLong) {}
  double Real() override { return Long(); }
  std::string_view Text(std::string& scratch) override;
};

class RealNode : public Node {
 public:
  RealNode() : Node(ResultType::kReal) {}
  std::int32_t Long() override;
  std::string_view Text(std::string& scratch) override;
};

class StringNode : public Node {
 public:
  StringNode() : Node(ResultType::kString) {}
  ~StringNode() override;
  std::int32_t Long() override;
  double Real() override;

 private:
  std::string conversion_scratch_;
};

// Whether a node list reads [begin, end).
bool AnyReads(const std::vector<NodePtr>& nodes, const void* begin, const void* end);
bool VariableWithin(const VariableRef& variable, const void* begin, const void* end);

// Builds the text of a built-in call; defined with the built-ins.
class CallNode;

}  // namespace vaultrix::eval
