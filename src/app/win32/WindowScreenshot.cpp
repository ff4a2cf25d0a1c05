#include "app/win32/WindowScreenshot.h"

#include <windows.h>

#include "base/Bitmap.h"
#include "platform/win32/Handles.h"

namespace nudgelet::app::win32 {
namespace {

using platform::win32::SelectObjectScope;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueDc;
using platform::win32::WindowDc;

struct Covered {
  DWORD processId = 0;
  RECT area{};
  bool any = false;
};

BOOL CALLBACK AddOwnWindow(HWND window, LPARAM param) {
  auto& covered = *reinterpret_cast<Covered*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  RECT r{};
  if (owner != covered.processId || !::IsWindowVisible(window) || ::IsIconic(window) || !::GetWindowRect(window, &r) ||
      ::IsRectEmpty(&r)) {
    return TRUE;
  }
  if (covered.any) {
    ::UnionRect(&covered.area, &covered.area, &r);
  } else {
    covered.area = r;
    covered.any = true;
  }
  return TRUE;
}

}  // namespace

bool SaveProcessWindowsScreenshot(const platform::FileSystem& files, const std::wstring& path) {
  Covered covered;
  covered.processId = ::GetCurrentProcessId();
  ::EnumWindows(&AddOwnWindow, reinterpret_cast<LPARAM>(&covered));
  // Before any window of ours exists, what the user saw is the primary screen.
  if (!covered.any) covered.area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};

  // Only what is on a screen can be copied.
  const RECT screen{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                    ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT area{};
  if (!::IntersectRect(&area, &covered.area, &screen)) return false;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > Bitmap::kMaxPixels) return false;

  WindowDc screenDc(nullptr);
  if (!screenDc) return false;
  UniqueDc memory(::CreateCompatibleDC(screenDc.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top-down, as Bitmap keeps them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(screenDc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !dib || bits == nullptr) return false;
  {
    SelectObjectScope select(memory.Get(), dib.Get());
    if (!::BitBlt(memory.Get(), 0, 0, width, height, screenDc.Get(), area.left, area.top, SRCCOPY | CAPTUREBLT)) {
      return false;
    }
    ::GdiFlush();
  }

  Bitmap picture(width, height);
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // The screen has no alpha: every pixel is opaque.
      picture.At(x, y) = source[static_cast<std::size_t>(y) * width + x] | 0xFF000000u;
    }
  }
  return files.WriteFileAtomically(path, EncodePng(picture)) == 0;
}

}  // namespace nudgelet::app::win32
