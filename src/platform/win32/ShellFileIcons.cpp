#include "platform/win32/ShellFileIcons.h"

#include <shellapi.h>

#include "platform/win32/Handles.h"

namespace nudgelet::platform::win32 {

Bitmap BitmapFromIcon(HICON icon, int size) {
  Bitmap bitmap(size, size);
  WindowDc screen(nullptr);
  UniqueDc dc(::CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !dib || !bits) return bitmap;
  {
    SelectObjectScope select(dc.Get(), dib.Get());
    ::DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  ::GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  bool anyAlpha = false;
  for (int i = 0; i < size * size; ++i) anyAlpha = anyAlpha || (pixels[i] >> 24) != 0;
  for (int i = 0; i < size * size; ++i) {
    // Icons without an alpha channel draw opaque wherever they drew at all.
    bitmap.At(i % size, i / size) = anyAlpha ? pixels[i] : (pixels[i] ? pixels[i] | 0xFF000000u : 0);
  }
  return bitmap;
}

std::optional<Bitmap> ShellFileIcons::FileIcon(const std::wstring& path, int index) const {
  HICON large = nullptr;
  HICON small = nullptr;
  if (::ExtractIconExW(path.c_str(), index, &large, &small, 1) > 0 && (large || small)) {
    // The list shows 32 × 32: the large icon is drawn as it is, where the
    // small one would be blown up to twice its size and blur.
    UniqueIcon keepLarge(large);
    UniqueIcon keepSmall(small);
    return BitmapFromIcon(large ? large : small, 32);
  }
  SHFILEINFOW info{};
  if (::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_OPENICON) &&
      info.hIcon) {
    UniqueIcon icon(info.hIcon);
    return BitmapFromIcon(info.hIcon, 32);
  }
  return std::nullopt;
}

}  // namespace nudgelet::platform::win32
