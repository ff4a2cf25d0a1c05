// The entry points of uipack.dll. Each one translates its arguments, adds the
// calling thread and hands over to UiPackLibrary; nothing is thrown across the
// boundary.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "uipack/UiPack.h"
#include "uipack/UiPackLibrary.h"

namespace {

using nudgelet::platform::win32::UniqueKernelHandle;
using nudgelet::uipack::UiPackLibrary;

static_assert(sizeof(std::uint32_t) == sizeof(DWORD) && sizeof(wchar_t) == sizeof(WCHAR));

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    DWORD got = 0;
    // A file that shrinks while it is read is not read at all.
    if (!::ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0) return std::nullopt;
    done += got;
  }
  return bytes;
}

// Packages are known by full path, so "skin\public.rcc" and its full form are one file.
std::wstring FullPath(const wchar_t* path) {
  const DWORD needed = ::GetFullPathNameW(path, 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(path, needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  return full;
}

UiPackLibrary& Library() {
  static UiPackLibrary library(ReadWholeFile);
  return library;
}

// Runs an entry point's work; any exception (out of memory, above all) becomes the failure result.
template <typename Fn>
auto Guarded(Fn&& fn, decltype(fn()) failure) noexcept -> decltype(fn()) {
  try {
    return fn();
  } catch (...) {
    return failure;
  }
}

}  // namespace

extern "C" {

int UIPACK_CALL UiPackRegister(const wchar_t* path) {
  if (!path || !*path) return 0;
  return Guarded([&] { return Library().Register(FullPath(path)) ? 1 : 0; }, 0);
}

int UIPACK_CALL UiPackUnregister(const wchar_t* path) {
  if (!path || !*path) return 0;
  return Guarded([&] { return Library().Unregister(FullPath(path)) ? 1 : 0; }, 0);
}

int UIPACK_CALL UiPackData(const wchar_t* name, void* buffer, std::uint32_t* size) {
  if (!name) {
    if (size && !buffer) *size = 0;
    return 0;
  }
  return Guarded([&] { return Library().Data(::GetCurrentThreadId(), name, buffer, size) ? 1 : 0; }, 0);
}

int UIPACK_CALL UiPackEnum(const wchar_t* folder, std::uint32_t foldersText, std::uint32_t filesText) {
  return Guarded(
      [&] {
        if (folder) return Library().Enum(folder, foldersText, filesText) ? 1 : 0;
        // No folder is a folder that no package holds.
        Library().Texts().Set(foldersText, L"");
        Library().Texts().Set(filesText, L"");
        return 0;
      },
      0);
}

std::uint32_t UIPACK_CALL QStringCreate() {
  return Guarded([] { return Library().Texts().Create(); }, std::uint32_t{0});
}

const wchar_t* UIPACK_CALL QStringGet(std::uint32_t handle) {
  return Guarded([&] { return Library().Texts().Get(handle); }, static_cast<const wchar_t*>(L""));
}

int UIPACK_CALL QStringSet(std::uint32_t handle, const wchar_t* text) {
  return Guarded([&] { return Library().Texts().Set(handle, text ? text : L"") ? 1 : 0; }, 0);
}

int UIPACK_CALL QStringClose(std::uint32_t handle) {
  return Guarded([&] { return Library().Texts().Close(handle) ? 1 : 0; }, 0);
}

}  // extern "C"
