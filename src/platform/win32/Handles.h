#pragma once
// Owning wrappers for the OS handles the program holds: each closes its handle
// exactly once, with the function that belongs to that kind of handle.

#include <windows.h>

#include <utility>

namespace nudgelet::platform::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Handle Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return Traits::IsValid(handle_); }

  Handle Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle h = Traits::Invalid()) noexcept {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = h;
  }
  // For functions that return a handle through an out parameter.
  Handle* Put() noexcept {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename H, auto CloseFn>
struct NullIsInvalid {
  using Handle = H;
  static constexpr Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { CloseFn(h); }
};

struct KernelHandleTraits : NullIsInvalid<HANDLE, &::CloseHandle> {
  // Some kernel functions answer INVALID_HANDLE_VALUE instead of null.
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
};

inline void CloseRegKey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void UnloadModule(HMODULE module) noexcept { ::FreeLibrary(module); }
inline void DeleteDc(HDC dc) noexcept { ::DeleteDC(dc); }
inline void DeleteGdiObject(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void DestroyIconHandle(HICON icon) noexcept { ::DestroyIcon(icon); }

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueHkey = UniqueHandle<NullIsInvalid<HKEY, &CloseRegKey>>;
using UniqueModule = UniqueHandle<NullIsInvalid<HMODULE, &UnloadModule>>;
// A device context made with CreateCompatibleDC / CreateDC.
using UniqueDc = UniqueHandle<NullIsInvalid<HDC, &DeleteDc>>;
using UniqueBitmap = UniqueHandle<NullIsInvalid<HBITMAP, &DeleteGdiObject>>;
using UniqueFont = UniqueHandle<NullIsInvalid<HFONT, &DeleteGdiObject>>;
using UniqueRegion = UniqueHandle<NullIsInvalid<HRGN, &DeleteGdiObject>>;
using UniqueIcon = UniqueHandle<NullIsInvalid<HICON, &DestroyIconHandle>>;

// A device context obtained with GetDC, released to its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;
  ~SelectObjectScope() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace nudgelet::platform::win32
