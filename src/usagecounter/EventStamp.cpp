#include "usagecounter/EventStamp.h"

#include <atomic>
#include <cstring>

#include "platform/win32/CngLibrary.h"

namespace nudgelet::usagecounter {

usagestats::UtcTime NowUtc() {
  SYSTEMTIME st{};
  ::GetSystemTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::wstring NewEventId() {
  std::array<std::uint8_t, 16> bytes{};
  const platform::win32::CngFunctions* cng = platform::win32::Cng();
  if (!cng || !BCRYPT_SUCCESS(cng->GenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                             BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    // Still unique on this machine: process, time and a running count.
    static std::atomic<std::uint32_t> counter{0};
    const DWORD pid = ::GetCurrentProcessId();
    const std::uint32_t count = ++counter;
    LARGE_INTEGER ticks{};
    ::QueryPerformanceCounter(&ticks);
    std::memcpy(bytes.data(), &pid, 4);
    std::memcpy(bytes.data() + 4, &count, 4);
    std::memcpy(bytes.data() + 8, &ticks.QuadPart, 8);
  }
  return usagestats::EventIdFromBytes(bytes);
}

}  // namespace nudgelet::usagecounter
