// A table that hands out handles for objects of one kind.
//
// Handle layout (31 bits, so a handle fits the 32-bit fields callers keep it in
// and reads as a positive number):
//   bits  0..17  slot index in the table
//   bits 18..27  generation of the slot (counts reuses, so a released handle
//                stays invalid until its slot has been reused 1024 times)
//   bits 28..30  object kind (1..7), so a handle of the wrong kind never matches
// A handle is never 0 because its kind is never 0.
//
// Lookups take no lock and allocate nothing: slots live in chunks that are
// never moved or freed while the table lives, and each slot publishes its
// current handle with release/acquire ordering after the object is in place.
// Adding and removing take the table's mutex. Freed slots are reused oldest
// first, which spreads reuse over all free slots.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform.h"

namespace morvane::plat::core {

// The kinds of object behind handles.
enum class Kind : HANDLE {
  kWindow = 1,
  kDc = 2,
  kBitmap = 3,
  kBrush = 4,
  kFont = 5,
  kCursor = 6,
};

inline constexpr int kSlotBits = 18;
inline constexpr int kGenerationBits = 10;
inline constexpr int kKindShift = kSlotBits + kGenerationBits;

// The kind encoded in a handle (0 for no valid kind).
constexpr HANDLE kindOf(HANDLE h) { return (h >> kKindShift) & 7u; }

// Builds a handle from its parts.
constexpr HANDLE makeHandle(Kind kind, HANDLE slot, HANDLE generation) {
  return (static_cast<HANDLE>(kind) << kKindShift) |
         ((generation & ((HANDLE{1} << kGenerationBits) - 1)) << kSlotBits) | slot;
}

template <class T>
class HandleTable {
 public:
  explicit HandleTable(Kind kind) : kind_(kind) {}
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  // Stores `object` and returns its new handle; 0 when the table is full.
  HANDLE add(std::shared_ptr<T> object) {
    std::lock_guard lock(mutex_);
    HANDLE slotIndex;
    if (!free_.empty()) {
      slotIndex = free_.front();
      free_.pop_front();
    } else {
      if (used_ == kSlots) return 0;
      slotIndex = used_;
      if (slotIndex % kChunkSize == 0) {
        owned_.push_back(std::make_unique<Slot[]>(kChunkSize));
        chunks_[slotIndex / kChunkSize].store(owned_.back().get(), std::memory_order_release);
      }
      ++used_;
    }
    Slot& slot = slotAt(slotIndex);
    slot.object = std::move(object);
    const HANDLE h = makeHandle(kind_, slotIndex, ++slot.generation);
    slot.handle.store(h, std::memory_order_release);
    return h;
  }

  // The object of handle `h`, or null when `h` is not a live handle of this table.
  T* get(HANDLE h) const {
    const Slot* slot = find(h);
    return slot ? slot->object.get() : nullptr;
  }

  // A shared reference to the object of `h` (null when not live); safe against a
  // concurrent remove on another thread.
  std::shared_ptr<T> share(HANDLE h) const {
    std::lock_guard lock(mutex_);
    const Slot* slot = find(h);
    return slot ? slot->object : nullptr;
  }

  // Takes the object of `h` out of the table; null when `h` is not live.
  std::shared_ptr<T> remove(HANDLE h) {
    std::lock_guard lock(mutex_);
    Slot* slot = const_cast<Slot*>(find(h));
    if (!slot) return nullptr;
    slot->handle.store(0, std::memory_order_release);
    free_.push_back(h & ((HANDLE{1} << kSlotBits) - 1));
    return std::move(slot->object);
  }

  // Every live handle, in slot order.
  std::vector<HANDLE> handles() const {
    std::lock_guard lock(mutex_);
    std::vector<HANDLE> out;
    for (HANDLE i = 0; i < used_; ++i) {
      const HANDLE h = slotAt(i).handle.load(std::memory_order_acquire);
      if (h != 0) out.push_back(h);
    }
    return out;
  }

 private:
  static constexpr HANDLE kChunkSize = 1024;
  static constexpr HANDLE kSlots = HANDLE{1} << kSlotBits;

  struct Slot {
    std::atomic<HANDLE> handle{0};  // the live handle of this slot, 0 when free
    std::shared_ptr<T> object;      // the object, set before `handle` is published
    HANDLE generation = 0;          // reuse count, changed under the mutex
  };

  Slot& slotAt(HANDLE i) const {
    return chunks_[i / kChunkSize].load(std::memory_order_acquire)[i % kChunkSize];
  }

  const Slot* find(HANDLE h) const {
    if (kindOf(h) != static_cast<HANDLE>(kind_)) return nullptr;
    const HANDLE i = h & ((HANDLE{1} << kSlotBits) - 1);
    const Slot* chunk = chunks_[i / kChunkSize].load(std::memory_order_acquire);
    if (!chunk) return nullptr;
    const Slot& slot = chunk[i % kChunkSize];
    return slot.handle.load(std::memory_order_acquire) == h ? &slot : nullptr;
  }

  Kind kind_;                                                // the kind of every handle made here
  mutable std::mutex mutex_;                                 // guards adding, removing and share()
  std::array<std::atomic<Slot*>, kSlots / kChunkSize> chunks_{};  // published chunk addresses
  std::vector<std::unique_ptr<Slot[]>> owned_;               // the chunks, owned
  std::deque<HANDLE> free_;                                  // released slot indices, oldest first
  HANDLE used_ = 0;                                          // slots handed out at least once
};

}  // namespace morvane::plat::core
