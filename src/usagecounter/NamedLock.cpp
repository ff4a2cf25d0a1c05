#include "usagecounter/NamedLock.h"

namespace nudgelet::usagecounter {

std::optional<NamedLock> NamedLock::Acquire(const std::wstring& name, DWORD timeoutMs) {
  platform::win32::UniqueKernelHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
  if (!mutex) return std::nullopt;
  const DWORD wait = ::WaitForSingleObject(mutex.Get(), timeoutMs);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return std::nullopt;
  return NamedLock(std::move(mutex));
}

NamedLock::~NamedLock() {
  if (mutex_) ::ReleaseMutex(mutex_.Get());
}

}  // namespace nudgelet::usagecounter
