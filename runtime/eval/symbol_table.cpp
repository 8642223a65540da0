// The symbol table's search tree and the scope stack.
#include "runtime/eval/symbol_table.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "runtime/files/file_descriptor.h"
#include "runtime/files/record_layout.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/locale.h"

namespace vaultrix::eval {
namespace {

struct TreeNode {
  std::string name;
  Symbol symbol;
  std::unique_ptr<TreeNode> left;
  std::unique_ptr<TreeNode> right;
};

class SymbolTree {
 public:
  SymbolTree() = default;
  SymbolTree(SymbolTree&& other) noexcept : root_(std::move(other.root_)), size_(other.size_) {
    other.size_ = 0;
  }
  SymbolTree& operator=(SymbolTree&& other) noexcept {
    if (this != &other) {
      Clear();
      root_ = std::move(other.root_);
      size_ = other.size_;
      other.size_ = 0;
    }
    return *this;
  }
  ~SymbolTree() { Clear(); }

  bool Empty() const { return root_ == nullptr; }
  std::size_t Size() const { return size_; }

  // Inserts, or replaces the symbol of an existing name.
  void Put(std::string_view name, const Symbol& symbol) {
    std::unique_ptr<TreeNode>* link = &root_;
    while (*link != nullptr) {
      const int order = support::CompareStringsNoCase(name, (*link)->name);
      if (order == 0) {
        (*link)->symbol = symbol;
        return;
      }
      link = order < 0 ? &(*link)->left : &(*link)->right;
    }
    *link = std::make_unique<TreeNode>(TreeNode{std::string(name), symbol, nullptr, nullptr});
    ++size_;
  }

  const Symbol* Find(std::string_view name) const {
    const TreeNode* node = root_.get();
    while (node != nullptr) {
      const int order = support::CompareStringsNoCase(name, node->name);
      if (order == 0) return &node->symbol;
      node = order < 0 ? node->left.get() : node->right.get();
    }
    return nullptr;
  }

  int Height() const { return HeightOf(root_.get()); }

  // Iterative, so a degenerate tree of many names cannot exhaust the stack.
  void Clear() {
    std::vector<std::unique_ptr<TreeNode>> pending;
    if (root_ != nullptr) pending.push_back(std::move(root_));
    while (!pending.empty()) {
      std::unique_ptr<TreeNode> node = std::move(pending.back());
      pending.pop_back();
      if (node->left != nullptr) pending.push_back(std::move(node->left));
      if (node->right != nullptr) pending.push_back(std::move(node->right));
    }
    size_ = 0;
  }

 private:
  static int HeightOf(const TreeNode* node) {
    if (node == nullptr) return 0;
    return 1 + std::max(HeightOf(node->left.get()), HeightOf(node->right.get()));
  }

  std::unique_ptr<TreeNode> root_;
  std::size_t size_ = 0;
};

struct Tables {
  SymbolTree current;
  std::vector<SymbolTree> saved;
};

Tables& State() {
  static Tables* tables = new Tables();  // lives to program end, never destroyed mid-exit
  return *tables;
}

void FillIfEmpty(SymbolTree& tree) {
  if (!tree.Empty()) return;
  for (const BuiltinSymbol& entry : BuiltinInsertionOrder()) {
    Symbol symbol;
    if (entry.is_keyword) {
      symbol.kind = SymbolKind::kKeyword;
      symbol.keyword = entry.keyword;
    } else {
      symbol.kind = SymbolKind::kFunction;
      symbol.function = entry.function;
    }
    tree.Put(entry.name, symbol);
  }
}

bool IsNameCharacter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return support::IsAlpha(byte) || support::IsDigit(byte) || c == '_' || c == ':';
}

VariableKind KindOfField(std::uint8_t type) {
  switch (type) {
    case files::kTypeByte: return VariableKind::kByte;
    case files::kTypeShort: return VariableKind::kShort;
    case files::kTypeUShort: return VariableKind::kUShort;
    case files::kTypeDate:
    case files::kTypeTime:
    case files::kTypeLong: return VariableKind::kLong;
    case files::kTypeULong: return VariableKind::kULong;
    case files::kTypeSReal: return VariableKind::kSReal;
    case files::kTypeReal: return VariableKind::kReal;
    case files::kTypeDecimal:
    case files::kTypePDecimal: return VariableKind::kPacked;
    case files::kTypeString:
    case files::kTypeAString: return VariableKind::kString;
    case files::kTypeCString: return VariableKind::kCString;
    case files::kTypePString: return VariableKind::kPString;
    default: return VariableKind::kGroup;
  }
}

VariableRef FieldRef(const files::FieldInfo& field, std::uint8_t* record) {
  VariableRef ref;
  ref.kind = KindOfField(field.type);
  ref.address = record + field.offset;
  ref.size = field.size;
  ref.places = field.decimal_places;
  if (field.element_count > 1 && field.dimensions.size() <= kMaxDimensions) {
    ref.element_size = field.element_size;
    ref.dimension_count = static_cast<std::uint8_t>(field.dimensions.size());
    std::copy(field.dimensions.begin(), field.dimensions.end(), ref.dimensions.begin());
  }
  return ref;
}

}  // namespace

std::string_view BindableName(std::string_view text) {
  text = text.substr(0, std::min(text.size(), kMaxBindName));
  std::size_t length = 0;
  while (length < text.size() && IsNameCharacter(text[length])) ++length;
  if (length > 0 && length < text.size() &&
      (text[length] == '#' || text[length] == '$' || text[length] == '"')) {
    ++length;
  }
  return text.substr(0, length);
}

void BIND(std::string_view name, const VariableRef& variable) {
  const std::string_view bound = BindableName(name);
  if (bound.empty()) return;
  SymbolTree& tree = State().current;
  FillIfEmpty(tree);
  Symbol symbol;
  symbol.kind = SymbolKind::kVariable;
  symbol.variable = variable;
  tree.Put(bound, symbol);
}

bool BindRecord(const std::uint8_t* layout, const std::uint8_t* limit, std::uint8_t* record) {
  files::RecordLayout parsed;
  if (layout == nullptr || record == nullptr ||
      files::ParseRecordLayout(layout, limit, &parsed) != support::kNoError) {
    return false;
  }
  for (const files::FieldInfo& field : parsed.fields) {
    if (!field.label.empty()) BIND(field.label, FieldRef(field, record));
  }
  return true;
}

bool BindRecord(const files::FileBlock& file) {
  if (file.layout == nullptr) return false;
  return BindRecord(file.layout, file.layout + file.layout_size, file.record);
}

void PUSHSCOPE() {
  Tables& tables = State();
  tables.saved.push_back(std::move(tables.current));
  tables.current = SymbolTree();
}

void POPSCOPE() {
  Tables& tables = State();
  if (tables.saved.empty()) {
    support::PostErrorWithText(support::kMismatchedScope, "Mismatched POPSCOPE");
    return;
  }
  tables.current = std::move(tables.saved.back());
  tables.saved.pop_back();
}

const Symbol* LookUpSymbol(std::string_view name) {
  SymbolTree& tree = State().current;
  FillIfEmpty(tree);
  return tree.Find(name);
}

void ResetSymbolTables() {
  Tables& tables = State();
  tables.current.Clear();
  tables.saved.clear();
}

std::size_t ScopeDepth() { return State().saved.size(); }
int SymbolTreeHeight() { return State().current.Height(); }
std::size_t SymbolCount() { return State().current.Size(); }

}  // namespace vaultrix::eval
