// Key encoders from a stored definition, and the entries the records need.
#include "tools/hvn_tool/table_keys.h"

#include "runtime/files/file_state.h"
#include "runtime/files/hvn/pages/record_kinds.h"

namespace vaultrix::tools {

namespace hvn = files::hvn;

namespace {
// Stored attribute bits of run-time indexes, which nothing keeps in step.
constexpr std::uint8_t kIndexNotMaintained = 0x20;
constexpr std::uint8_t kIndexWithoutComponents = 0x40;
}  // namespace

std::string KeyName(const hvn::TableDefinition& definition, std::size_t index) {
  const auto& label = definition.keys[index].label;
  return label && !label->empty() ? *label : "KEY" + std::to_string(index + 1);
}

std::vector<KeyPlan> PlanKeys(const hvn::TableDefinition& definition) {
  // The encoder reads fields and key components from a file state; one made
  // from the stored definition stands in for the declaration.
  files::FileState state;
  state.record_size = definition.record_size;
  for (const hvn::DefinedField& field : definition.fields) {
    files::FieldInfo info;
    info.type = field.type;
    info.offset = field.offset;
    info.size = field.size;
    info.element_count = field.element_count == 0 ? 1 : field.element_count;
    state.layout.fields.push_back(info);
  }
  std::vector<KeyPlan> plans;
  for (std::size_t k = 0; k < definition.keys.size(); ++k) {
    const hvn::DefinedKey& defined = definition.keys[k];
    KeyPlan plan;
    plan.number = static_cast<std::uint8_t>(k);
    plan.label = KeyName(definition, k);
    plan.maintained = (defined.attributes & (kIndexNotMaintained | kIndexWithoutComponents)) == 0;
    files::KeyState key;
    key.attributes = defined.attributes;
    bool usable = !defined.components.empty() && k < 0xF3;
    for (const auto& [ordinal, descending] : defined.components) {
      if (ordinal >= state.layout.fields.size() ||
          state.layout.fields[ordinal].element_count >= 2) {
        usable = false;
      }
      key.components.push_back({ordinal, descending != 0});
    }
    if (usable) plan.encoder = files::KeyValueEncoder::Make(state, key, plan.number);
    plans.push_back(std::move(plan));
  }
  return plans;
}

int ExpectedEntries(HvnReader& reader, const TableInfo& table, const std::vector<KeyPlan>& plans,
                    std::vector<ExpectedKey>* expected, std::vector<std::uint32_t>* short_records,
                    std::uint32_t* data_records) {
  expected->assign(plans.size(), ExpectedKey{});
  *data_records = 0;
  std::vector<std::map<std::string, std::uint32_t>> owners(plans.size());
  files::KeyEntry entry;
  return reader.Walk(hvn::KindPrefix(table.id, hvn::kKindData), [&](const hvn::Record& record) {
    const auto number = hvn::DataKeyNumber(record.key, table.id);
    if (!number) return true;
    ++*data_records;
    if (record.data.size() != table.definition.record_size) {
      short_records->push_back(*number);
      return true;
    }
    const auto* image = reinterpret_cast<const std::uint8_t*>(record.data.data());
    for (std::size_t k = 0; k < plans.size(); ++k) {
      const KeyPlan& plan = plans[k];
      if (!plan.maintained || !plan.encoder) continue;
      if (!plan.encoder->BuildEntry(table.id, image, *number, entry)) continue;
      std::string key(entry.key.begin(), entry.key.end());
      auto [at, inserted] = owners[k].emplace(key, *number);
      if (!inserted) {
        (*expected)[k].collisions.emplace_back(*number, at->second);
        continue;
      }
      (*expected)[k].entries.emplace(std::move(key),
                                     std::string(entry.data.begin(), entry.data.end()));
    }
    return true;
  });
}

}  // namespace vaultrix::tools
