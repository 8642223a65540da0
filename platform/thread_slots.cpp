// Thread slots on POSIX threads with a stack size that is a lower bound.
#include "platform/thread_slots.h"

#include <algorithm>
#include <limits.h>
#include <memory>
#include <unistd.h>

namespace vaultrix::platform {
namespace {

thread_local const ThreadSlots* current_table = nullptr;
thread_local int current_slot = -1;

std::size_t PlatformDefaultStack() {
  pthread_attr_t attributes;
  std::size_t size = 0;
  if (pthread_attr_init(&attributes) == 0) {
    (void)pthread_attr_getstacksize(&attributes, &size);
    pthread_attr_destroy(&attributes);
  }
  return std::max<std::size_t>(size, static_cast<std::size_t>(PTHREAD_STACK_MIN));
}

}  // namespace

std::size_t EffectiveStackSize(std::size_t requested) {
  std::size_t size = std::max({requested, kMinimumThreadStack, PlatformDefaultStack()});
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE) > 0 ? sysconf(_SC_PAGESIZE) : 4096);
  return (size + page - 1) / page * page;
}

struct ThreadSlots::Launch {
  ThreadSlots* table;
  int slot;
  Body body;
};

ThreadSlots::ThreadSlots() {
  slots_[0].in_use = true;
  current_table = this;
  current_slot = 0;
}

ThreadSlots::~ThreadSlots() {
  WaitForStartedThreads();
  if (current_table == this) {
    current_table = nullptr;
    current_slot = -1;
  }
}

void* ThreadSlots::ThreadMain(void* argument) {
  std::unique_ptr<Launch> launch(static_cast<Launch*>(argument));
  current_table = launch->table;
  current_slot = launch->slot;
  launch->body(launch->slot);
  ThreadSlots* table = launch->table;
  table->LeaveSlot();
  std::lock_guard lock(table->mutex_);
  const pthread_t self = pthread_self();
  auto it = std::find_if(table->running_.begin(), table->running_.end(),
                         [&](pthread_t t) { return pthread_equal(t, self) != 0; });
  if (it != table->running_.end()) {
    table->ended_.push_back(*it);
    table->running_.erase(it);
  }
  table->slot_freed_.notify_all();
  return nullptr;
}

int ThreadSlots::Start(std::size_t stack_bytes, Body body) {
  JoinEnded();
  std::unique_lock lock(mutex_);
  int slot = -1;
  for (int i = 1; i < kThreadSlotCount; ++i) {
    if (!slots_[i].in_use) {
      slot = i;
      break;
    }
  }
  if (slot < 0) return -1;
  const std::size_t stack = EffectiveStackSize(stack_bytes);
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return -1;
  if (pthread_attr_setstacksize(&attributes, stack) != 0) {
    pthread_attr_destroy(&attributes);
    return -1;
  }
  auto launch = std::make_unique<Launch>(Launch{this, slot, std::move(body)});
  slots_[slot].in_use = true;
  slots_[slot].stack_bytes = stack;
  pthread_t thread;
  // The new thread's first act is to lock mutex_ when it ends, so holding it
  // here while registering the thread keeps running_ consistent.
  const int created = pthread_create(&thread, &attributes, &ThreadSlots::ThreadMain, launch.get());
  pthread_attr_destroy(&attributes);
  if (created != 0) {
    slots_[slot] = Slot{};
    return -1;
  }
  launch.release();
  running_.push_back(thread);
  return slot;
}

int ThreadSlots::CurrentSlot() const {
  return current_table == this ? current_slot : -1;
}

void ThreadSlots::LeaveSlot() {
  if (current_table != this || current_slot <= 0) return;
  std::lock_guard lock(mutex_);
  slots_[current_slot] = Slot{};
  current_slot = -1;
  slot_freed_.notify_all();
}

bool ThreadSlots::InUse(int slot) const {
  if (slot < 0 || slot >= kThreadSlotCount) return false;
  std::lock_guard lock(mutex_);
  return slots_[slot].in_use;
}

int ThreadSlots::InUseCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(std::begin(slots_), std::end(slots_),
                                        [](const Slot& s) { return s.in_use; }));
}

std::size_t ThreadSlots::StackSize(int slot) const {
  if (slot < 0 || slot >= kThreadSlotCount) return 0;
  std::lock_guard lock(mutex_);
  return slots_[slot].stack_bytes;
}

void ThreadSlots::JoinEnded() {
  std::vector<pthread_t> ended;
  {
    std::lock_guard lock(mutex_);
    ended.swap(ended_);
  }
  for (pthread_t thread : ended) pthread_join(thread, nullptr);
}

void ThreadSlots::WaitForStartedThreads() {
  {
    std::unique_lock lock(mutex_);
    slot_freed_.wait(lock, [&] { return running_.empty(); });
  }
  JoinEnded();
}

}  // namespace vaultrix::platform
