#pragma once
// Texts that cross the library boundary by 32-bit handle. A handle is an index
// into this table, never a pointer, so it means the same in a 32-bit and a
// 64-bit process. The low 16 bits are the slot plus one, the high 16 bits the
// slot's generation, so a handle that was closed does not quietly name the next
// text that reuses its slot.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nudgelet::uipack {

class TextHandleTable {
 public:
  static constexpr std::size_t kMaxTexts = 0xFFFF;

  // A new empty text; 0 when the table is full.
  std::uint32_t Create();
  // The handle's text. Stays valid until the handle is closed, even when the
  // text is set again meanwhile; for a handle that is not open, an empty text
  // that is always valid.
  const wchar_t* Get(std::uint32_t handle);
  // False for a handle that is not open.
  bool Set(std::uint32_t handle, std::wstring text);
  bool Close(std::uint32_t handle);
  std::size_t OpenCount() const;

 private:
  struct Slot {
    std::uint16_t generation = 1;
    // Null while the slot is free. Held by pointer so that a text stays where
    // it is when the table grows.
    std::unique_ptr<std::wstring> text;
    // Texts replaced after Get handed them out; they live until the handle is closed.
    std::vector<std::unique_ptr<std::wstring>> retired;
    bool lent = false;
  };

  Slot* Lookup(std::uint32_t handle);
  const Slot* Lookup(std::uint32_t handle) const;

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<std::uint16_t> free_;
  std::size_t open_ = 0;
};

}  // namespace nudgelet::uipack
