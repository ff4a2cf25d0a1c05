#include "platform/win32/Win32Registry.h"

#include <cstdint>

#include "platform/win32/Handles.h"

namespace nudgelet::platform::win32 {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// The registry stamps a change with the system time of its clock tick (about
// 16 ms, more under power saving): a key written within the last moments may
// be written again without its time moving. Two seconds is far beyond any tick.
constexpr std::uint64_t kClockTolerance = 2 * 10'000'000ull;

class Win32RegistryKey final : public RegistryKey {
 public:
  Win32RegistryKey(UniqueHkey key, REGSAM view) : key_(std::move(key)), view_(view) {}

  std::vector<std::wstring> SubKeyNames() const override {
    std::vector<std::wstring> names;
    for (auto& key : SubKeys()) names.push_back(std::move(key.name));
    return names;
  }

  std::vector<RegistrySubKey> SubKeys() const override {
    std::vector<RegistrySubKey> keys;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t trustedBefore = Ticks(now) - kClockTolerance;
    wchar_t name[256];  // key names are at most 255 characters
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(std::size(name));
      FILETIME written{};
      if (::RegEnumKeyExW(key_.Get(), index, name, &length, nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS) {
        break;
      }
      const std::uint64_t ticks = Ticks(written);
      keys.push_back({std::wstring(name, length), ticks < trustedBefore ? ticks : 0});
    }
    return keys;
  }

  std::vector<std::wstring> ValueNames() const override {
    std::vector<std::wstring> names;
    // Value names are at most 16383 characters.
    std::wstring name(16384, L'\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(name.size());
      const LONG rc = ::RegEnumValueW(key_.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) break;
      names.emplace_back(name.data(), length);
    }
    return names;
  }

  std::optional<RegistryValue> ReadValue(std::wstring_view name) const override {
    const std::wstring valueName(name);
    // Every registry call is a round trip to the kernel (to wineserver under
    // Wine), and an inventory reads thousands of values: one call reads type,
    // size and data together for any value that fits this buffer, which all
    // but the rarest do. A larger one is read again at its size.
    std::uint8_t buffer[4096];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    LONG rc = ::RegQueryValueExW(key_.Get(), valueName.c_str(), nullptr, &type, buffer, &size);
    if (rc == ERROR_SUCCESS) {
      if (size > sizeof buffer) return std::nullopt;
      RegistryValue value;
      value.type = static_cast<RegistryValueType>(type);
      value.data.assign(buffer, buffer + size);
      return value;
    }
    // The value may grow again between the two reads; retry a few times.
    for (int attempt = 0; rc == ERROR_MORE_DATA && attempt < 4; ++attempt) {
      if (size > kMaxRegistryValueBytes) return std::nullopt;
      RegistryValue value;
      value.data.resize(size);
      rc = ::RegQueryValueExW(key_.Get(), valueName.c_str(), nullptr, &type, value.data.data(), &size);
      if (rc == ERROR_SUCCESS) {
        value.data.resize(size);
        value.type = static_cast<RegistryValueType>(type);
        return value;
      }
    }
    return std::nullopt;
  }

  std::unique_ptr<RegistryKey> OpenSubKey(std::wstring_view name) const override {
    const std::wstring subKey(name);
    UniqueHkey key;
    if (::RegOpenKeyExW(key_.Get(), subKey.c_str(), 0, KEY_READ | view_, key.Put()) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(std::move(key), view_);
  }

 private:
  UniqueHkey key_;
  REGSAM view_;  // the view flag the key was opened with, for its subkeys
};

REGSAM ViewFlag(RegistryView view) {
  switch (view) {
    case RegistryView::Bits32:
      return KEY_WOW64_32KEY;
    case RegistryView::Bits64:
      return KEY_WOW64_64KEY;
    case RegistryView::Default:
      break;
  }
  return 0;
}

HKEY PredefinedKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
      return HKEY_USERS;
    case RegistryRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_LOCAL_MACHINE;
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenReadOnly(RegistryRoot root, std::wstring_view path,
                                                         RegistryView view) const {
  while (!path.empty() && path.front() == L'\\') path.remove_prefix(1);
  const std::wstring subKey(path);
  UniqueHkey key;
  if (::RegOpenKeyExW(PredefinedKey(root), subKey.c_str(), 0, KEY_READ | ViewFlag(view), key.Put()) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32RegistryKey>(std::move(key), ViewFlag(view));
}

}  // namespace nudgelet::platform::win32
