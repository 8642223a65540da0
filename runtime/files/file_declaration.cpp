// Building a file's blocks and descriptor from its declaration, and checking
// a C++ record structure against the descriptor.
#include "runtime/files/file_declaration.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/files/file_state.h"

namespace vaultrix::files {
namespace {

FieldDeclaration SizedField(std::uint8_t type, std::string label, std::uint32_t size) {
  FieldDeclaration field;
  field.type = type;
  field.label = std::move(label);
  field.size = size;
  return field;
}

TextRef RefTo(const std::string& text) {
  return {text.data(), static_cast<std::uint32_t>(text.size())};
}

// The 1-based field numbers of every entry by label, in record order.
void NumberFields(const std::vector<FieldDeclaration>& fields,
                  std::vector<const FieldDeclaration*>& numbered) {
  for (const FieldDeclaration& field : fields) {
    numbered.push_back(&field);
    if (field.type == kTypeGroup) NumberFields(field.fields, numbered);
  }
}

std::int32_t ComponentNumber(const std::vector<const FieldDeclaration*>& numbered,
                             std::string_view component) {
  const bool descending = !component.empty() && component.front() == '-';
  if (descending) component.remove_prefix(1);
  for (std::size_t i = 0; i < numbered.size(); ++i) {
    if (numbered[i]->label == component) {
      const auto number = static_cast<std::int32_t>(i + 1);
      return descending ? -number : number;
    }
  }
  return 0;
}

}  // namespace

FieldDeclaration StringField(std::string label, std::uint32_t size) {
  return SizedField(kTypeString, std::move(label), size);
}
FieldDeclaration CStringField(std::string label, std::uint32_t size) {
  return SizedField(kTypeCString, std::move(label), size);
}
FieldDeclaration PStringField(std::string label, std::uint32_t size) {
  return SizedField(kTypePString, std::move(label), size);
}
FieldDeclaration DecimalField(std::string label, std::uint32_t digits, std::uint8_t places) {
  FieldDeclaration field = SizedField(kTypeDecimal, std::move(label), digits / 2 + 1);
  field.decimal_places = places;
  return field;
}
FieldDeclaration FixedField(std::uint8_t type, std::string label) {
  return SizedField(type, std::move(label), 0);
}
FieldDeclaration GroupField(std::string label, std::vector<FieldDeclaration> fields) {
  FieldDeclaration field = SizedField(kTypeGroup, std::move(label), 0);
  field.fields = std::move(fields);
  return field;
}

DeclaredFile::~DeclaredFile() {
  if (block_.state != nullptr) ReleaseFileState(block_);
}

void DeclaredFile::SetNameVariable(const char* text, std::uint32_t length) {
  block_.name = {text, length};
}

FileDeclaration::FileDeclaration(std::string name) : name_(std::move(name)) {}

FileDeclaration& FileDeclaration::Owner(std::string owner) {
  owner_ = std::move(owner);
  return *this;
}
FileDeclaration& FileDeclaration::Options(std::string options) {
  options_ = std::move(options);
  return *this;
}
FileDeclaration& FileDeclaration::Attributes(std::uint8_t attributes) {
  attributes_ = attributes;
  return *this;
}
FileDeclaration& FileDeclaration::Field(FieldDeclaration field) {
  fields_.push_back(std::move(field));
  return *this;
}
FileDeclaration& FileDeclaration::Key(std::string label, std::uint32_t attributes,
                                      std::vector<std::string> components) {
  keys_.push_back({std::move(label), attributes, std::move(components)});
  return *this;
}
FileDeclaration& FileDeclaration::Memo(std::string label, std::uint32_t size) {
  memos_.push_back({std::move(label), size});
  return *this;
}

std::unique_ptr<DeclaredFile> FileDeclaration::Build(const DriverRegistration& driver,
                                                     std::uint8_t* record) const {
  auto file = std::make_unique<DeclaredFile>();
  file->name_ = name_;
  file->options_ = options_;
  file->owner_ = owner_;
  file->descriptor_ = WriteRecordLayout(fields_);
  FileBlock& block = file->block_;
  block.driver = &driver;
  block.name = RefTo(file->name_);
  block.options = RefTo(file->options_);
  block.owner = RefTo(file->owner_);
  block.attributes = attributes_;
  // The counts are bytes: more than 255 keys or memos declare 255, which the
  // limits of any driver refuse at first use.
  block.key_count = static_cast<std::uint8_t>(std::min<std::size_t>(keys_.size(), 255));
  block.memo_count = static_cast<std::uint8_t>(std::min<std::size_t>(memos_.size(), 255));
  FieldDeclaration whole;
  whole.type = kTypeGroup;
  whole.fields = fields_;
  block.record_size = DeclaredFieldSize(whole);
  block.layout = file->descriptor_.data();
  block.layout_size = static_cast<std::uint32_t>(file->descriptor_.size());
  if (record == nullptr) {
    file->own_record_ = std::make_unique<std::uint8_t[]>(block.record_size + 1);
    record = file->own_record_.get();
  }
  block.record = record;

  std::vector<const FieldDeclaration*> numbered;
  NumberFields(fields_, numbered);
  for (const KeyDeclaration& key : keys_) {
    auto storage = std::make_unique<DeclaredFile::KeyStorage>();
    storage->label = key.label;
    for (const std::string& component : key.components) {
      storage->components.push_back(ComponentNumber(numbered, component));
    }
    auto key_block = std::make_unique<KeyBlock>();
    key_block->label = RefTo(storage->label);
    key_block->attributes = key.attributes;
    key_block->component_count = static_cast<std::uint8_t>(storage->components.size());
    key_block->components = storage->components.data();
    key_block->file = &block;
    file->key_list_.push_back(key_block.get());
    file->keys_.push_back(std::move(key_block));
    file->key_storage_.push_back(std::move(storage));
  }
  file->key_list_.push_back(nullptr);
  block.keys = file->key_list_.data();

  for (const MemoDeclaration& memo : memos_) {
    auto label = std::make_unique<std::string>(memo.label);
    auto memo_block = std::make_unique<MemoBlock>();
    memo_block->label = RefTo(*label);
    memo_block->size = memo.size;
    file->memo_list_.push_back(memo_block.get());
    file->memos_.push_back(std::move(memo_block));
    file->memo_labels_.push_back(std::move(label));
  }
  block.memos = file->memo_list_.data();
  return file;
}

std::string CheckRecordLayout(const std::vector<std::uint8_t>& descriptor, std::size_t record_size,
                              std::initializer_list<RecordMember> members) {
  RecordLayout layout;
  if (ParseRecordLayout(descriptor.data(), descriptor.data() + descriptor.size(), &layout) != 0) {
    return "the descriptor does not parse";
  }
  std::string differences;
  if (layout.record_size != record_size) {
    differences += "record size " + std::to_string(layout.record_size) + " declared, " +
                   std::to_string(record_size) + " in the structure; ";
  }
  for (const RecordMember& member : members) {
    const FieldInfo* found = nullptr;
    for (const FieldInfo& field : layout.fields) {
      if (field.label == member.label) found = &field;
    }
    if (found == nullptr) {
      differences += std::string(member.label) + " is not declared; ";
    } else if (found->offset != member.offset || found->size != member.size) {
      differences += std::string(member.label) + " declared at " + std::to_string(found->offset) +
                     " (" + std::to_string(found->size) + " bytes), structure has " +
                     std::to_string(member.offset) + " (" + std::to_string(member.size) +
                     " bytes); ";
    }
  }
  return differences;
}

}  // namespace vaultrix::files
