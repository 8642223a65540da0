// Reading bound variables and making references to C++ variables.
#include "runtime/eval/variable.h"

#include <cstring>

#include "runtime/eval/number_text.h"
#include "runtime/files/file_descriptor.h"

namespace vaultrix::eval {
namespace {

template <class T>
T Load(const VariableRef& variable) {
  T value{};
  if (variable.address != nullptr && variable.size >= sizeof(T)) {
    std::memcpy(&value, variable.address, sizeof(T));
  }
  return value;
}

template <class T>
VariableRef Scalar(VariableKind kind, T& value) {
  return {.kind = kind, .address = &value, .size = sizeof(T)};
}

std::string_view Bytes(const VariableRef& variable) {
  if (variable.address == nullptr) return {};
  return std::string_view(static_cast<const char*>(variable.address), variable.size);
}

}  // namespace

ResultType ResultTypeOf(VariableKind kind) {
  switch (kind) {
    case VariableKind::kByte:
    case VariableKind::kShort:
    case VariableKind::kUShort:
    case VariableKind::kLong:
      return ResultType::kLong;
    case VariableKind::kULong:
    case VariableKind::kSReal:
    case VariableKind::kReal:
    case VariableKind::kPacked:
    case VariableKind::kDecimalValue:
      return ResultType::kReal;
    default:
      return ResultType::kString;
  }
}

bool IsArray(const VariableRef& variable) { return variable.element_size != 0; }

std::uint32_t ElementCount(const VariableRef& variable) {
  return IsArray(variable) ? variable.size / variable.element_size : 1;
}

VariableRef ElementOf(const VariableRef& variable, std::uint32_t index) {
  VariableRef element = variable;
  element.element_size = 0;
  element.dimension_count = 0;
  if (!IsArray(variable) || index >= ElementCount(variable)) {
    element.address = nullptr;  // reads as 0 or empty
    element.size = 0;
    return element;
  }
  element.size = variable.element_size;
  element.address = static_cast<char*>(variable.address) + std::size_t{index} * variable.element_size;
  return element;
}

double ReadReal(const VariableRef& variable) {
  switch (variable.kind) {
    case VariableKind::kULong:
      return Load<std::uint32_t>(variable);
    case VariableKind::kSReal:
      return Load<float>(variable);
    case VariableKind::kReal:
      return Load<double>(variable);
    case VariableKind::kPacked: {
      if (variable.address == nullptr) return 0;
      const auto value = support::PackedToDouble(static_cast<const std::uint8_t*>(variable.address),
                                                 static_cast<int>(variable.size), variable.places);
      return value.value_or(0.0);
    }
    case VariableKind::kDecimalValue:
      return variable.address == nullptr ? 0.0
                                         : static_cast<const support::Decimal*>(variable.address)->ToDouble();
    default:
      break;
  }
  if (ResultTypeOf(variable.kind) == ResultType::kLong) return ReadLong(variable);
  std::string scratch;
  return TextToReal(ReadText(variable, scratch));
}

std::int32_t ReadLong(const VariableRef& variable) {
  switch (variable.kind) {
    case VariableKind::kByte:
      return Load<std::uint8_t>(variable);
    case VariableKind::kShort:
      return Load<std::int16_t>(variable);
    case VariableKind::kUShort:
      return Load<std::uint16_t>(variable);
    case VariableKind::kLong:
      return Load<std::int32_t>(variable);
    default:
      return RealToLong(ReadReal(variable));
  }
}

std::string_view ReadText(const VariableRef& variable, std::string& scratch) {
  switch (variable.kind) {
    case VariableKind::kString:
    case VariableKind::kGroup:
      return Bytes(variable);
    case VariableKind::kCString: {
      const std::string_view bytes = Bytes(variable);
      return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
    }
    case VariableKind::kPString: {
      const std::string_view bytes = Bytes(variable);
      if (bytes.empty()) return {};
      const std::size_t length = static_cast<unsigned char>(bytes[0]);
      return bytes.substr(1, std::min(length, bytes.size() - 1));
    }
    case VariableKind::kMemo: {
      const auto* memo = static_cast<const files::MemoBlock*>(variable.address);
      if (memo == nullptr || memo->buffer == nullptr) return {};
      return std::string_view(memo->buffer, memo->size);
    }
    case VariableKind::kPacked: {
      scratch.clear();
      if (variable.address == nullptr) return scratch;
      const auto text = support::PackedToText(static_cast<const std::uint8_t*>(variable.address),
                                              static_cast<int>(variable.size), variable.places);
      scratch = text.value_or("0");
      return scratch;
    }
    case VariableKind::kDecimalValue:
      scratch.clear();
      if (variable.address != nullptr) {
        scratch = static_cast<const support::Decimal*>(variable.address)->ToString();
      }
      return scratch;
    default:
      break;
  }
  scratch.clear();
  if (ResultTypeOf(variable.kind) == ResultType::kLong) {
    AppendLongText(ReadLong(variable), scratch);
  } else {
    AppendRealText(ReadReal(variable), scratch);
  }
  return scratch;
}

VariableRef Ref(std::uint8_t& value) { return Scalar(VariableKind::kByte, value); }
VariableRef Ref(std::int16_t& value) { return Scalar(VariableKind::kShort, value); }
VariableRef Ref(std::uint16_t& value) { return Scalar(VariableKind::kUShort, value); }
VariableRef Ref(std::int32_t& value) { return Scalar(VariableKind::kLong, value); }
VariableRef Ref(std::uint32_t& value) { return Scalar(VariableKind::kULong, value); }
VariableRef Ref(float& value) { return Scalar(VariableKind::kSReal, value); }
VariableRef Ref(double& value) { return Scalar(VariableKind::kReal, value); }
VariableRef Ref(support::Decimal& value) { return Scalar(VariableKind::kDecimalValue, value); }
VariableRef Ref(files::MemoBlock& memo) {
  return {.kind = VariableKind::kMemo, .address = &memo, .size = 0};
}
VariableRef StringRef(char* data, std::uint32_t size) {
  return {.kind = VariableKind::kString, .address = data, .size = size};
}
VariableRef CStringRef(char* data, std::uint32_t size) {
  return {.kind = VariableKind::kCString, .address = data, .size = size};
}
VariableRef PStringRef(char* data, std::uint32_t size) {
  return {.kind = VariableKind::kPString, .address = data, .size = size};
}
VariableRef PackedRef(std::uint8_t* data, std::uint32_t size, std::uint8_t places) {
  return {.kind = VariableKind::kPacked, .address = data, .size = size, .places = places};
}

}  // namespace vaultrix::eval
