#include "uipack/TextHandles.h"

namespace nudgelet::uipack {

std::uint32_t TextHandleTable::Create() {
  std::lock_guard lock(mutex_);
  std::uint16_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else if (slots_.size() < kMaxTexts) {
    index = static_cast<std::uint16_t>(slots_.size());
    slots_.emplace_back();
  } else {
    return 0;
  }
  Slot& slot = slots_[index];
  slot.text = std::make_unique<std::wstring>();
  ++open_;
  return (std::uint32_t{slot.generation} << 16) | (std::uint32_t{index} + 1);
}

const TextHandleTable::Slot* TextHandleTable::Lookup(std::uint32_t handle) const {
  const std::uint32_t low = handle & 0xFFFF;
  if (low == 0 || low > slots_.size()) return nullptr;
  const Slot& slot = slots_[low - 1];
  if (!slot.text || slot.generation != (handle >> 16)) return nullptr;
  return &slot;
}

TextHandleTable::Slot* TextHandleTable::Lookup(std::uint32_t handle) {
  return const_cast<Slot*>(static_cast<const TextHandleTable*>(this)->Lookup(handle));
}

const wchar_t* TextHandleTable::Get(std::uint32_t handle) {
  std::lock_guard lock(mutex_);
  Slot* slot = Lookup(handle);
  if (!slot) return L"";
  slot->lent = true;
  return slot->text->c_str();
}

bool TextHandleTable::Set(std::uint32_t handle, std::wstring text) {
  std::lock_guard lock(mutex_);
  Slot* slot = Lookup(handle);
  if (!slot) return false;
  if (slot->lent) {
    // Someone may still hold the old text's pointer.
    slot->retired.push_back(std::move(slot->text));
    slot->text = std::make_unique<std::wstring>(std::move(text));
    slot->lent = false;
  } else {
    *slot->text = std::move(text);
  }
  return true;
}

bool TextHandleTable::Close(std::uint32_t handle) {
  std::lock_guard lock(mutex_);
  Slot* slot = Lookup(handle);
  if (!slot) return false;
  slot->text.reset();
  slot->retired.clear();
  slot->lent = false;
  // Generations run from 1 to 0xFFFF and then start over.
  slot->generation = static_cast<std::uint16_t>(slot->generation == 0xFFFF ? 1 : slot->generation + 1);
  free_.push_back(static_cast<std::uint16_t>((handle & 0xFFFF) - 1));
  --open_;
  return true;
}

std::size_t TextHandleTable::OpenCount() const {
  std::lock_guard lock(mutex_);
  return open_;
}

}  // namespace nudgelet::uipack
