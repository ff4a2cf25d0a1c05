#pragma once
// A named mutex held for one scope. Every process of the user that uses the
// library takes the same one before touching a cache file, so an append never
// falls between another process's read and its replacing of the file.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/Handles.h"

namespace nudgelet::usagecounter {

class NamedLock {
 public:
  // nullopt when the lock could not be made or was not free within timeoutMs.
  // A lock left behind by a process that died while holding it is taken over:
  // the file it guarded is still sound, since writers never leave it half replaced.
  static std::optional<NamedLock> Acquire(const std::wstring& name, DWORD timeoutMs);

  NamedLock(NamedLock&&) noexcept = default;
  NamedLock& operator=(NamedLock&&) = delete;
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;
  ~NamedLock();

 private:
  explicit NamedLock(platform::win32::UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
  platform::win32::UniqueKernelHandle mutex_;
};

}  // namespace nudgelet::usagecounter
