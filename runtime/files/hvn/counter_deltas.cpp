// Counter changes kept in memory until they are written once.
#include "runtime/files/hvn/counter_deltas.h"

#include "runtime/files/hvn/table.h"

namespace vaultrix::files::hvn {

CounterDeltas::Entry* CounterDeltas::Find(std::uint8_t kind) {
  for (Entry& entry : entries_) {
    if (entry.kind == kind) return &entry;
  }
  return nullptr;
}

const CounterDeltas::Entry* CounterDeltas::Find(std::uint8_t kind) const {
  for (const Entry& entry : entries_) {
    if (entry.kind == kind) return &entry;
  }
  return nullptr;
}

void CounterDeltas::BeginOperation() {
  for (Entry& entry : entries_) {
    entry.saved = entry.pending;
    entry.running = 0;
  }
}

void CounterDeltas::Succeeded() {
  for (Entry& entry : entries_) {
    entry.pending += entry.running;
    entry.running = 0;
    entry.saved = entry.pending;
  }
}

void CounterDeltas::Failed() {
  for (Entry& entry : entries_) {
    entry.pending = entry.saved;
    entry.running = 0;
  }
}

void CounterDeltas::Drop() {
  entries_.clear();
}

void CounterDeltas::Add(std::uint8_t kind, std::int32_t delta) {
  Entry* entry = Find(kind);
  if (entry == nullptr) entry = &entries_.emplace_back(Entry{kind, 0, 0, 0});
  entry->running += delta;
}

std::int64_t CounterDeltas::Pending(std::uint8_t kind) const {
  const Entry* entry = Find(kind);
  return entry == nullptr ? 0 : entry->pending + entry->running;
}

void CounterDeltas::Clear(std::uint8_t kind) {
  if (Entry* entry = Find(kind); entry != nullptr) entry->pending = entry->running = 0;
}

bool CounterDeltas::empty() const {
  for (const Entry& entry : entries_) {
    if (entry.pending + entry.running != 0) return false;
  }
  return true;
}

int CounterDeltas::Flush(Table& table) {
  for (Entry& entry : entries_) {
    const std::int64_t delta = entry.pending + entry.running;
    if (delta == 0) continue;
    if (int code = table.StoreCounterDelta(entry.kind, delta); code != 0) return code;
    entry.pending = entry.running = 0;
  }
  return 0;
}

}  // namespace vaultrix::files::hvn
