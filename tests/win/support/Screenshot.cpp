#include "support/Screenshot.h"

#include "base/Bitmap.h"
#include "platform/win32/Handles.h"
#include "support/ScratchFolder.h"

namespace nudgelet::testing {
namespace {

using platform::win32::SelectObjectScope;
using platform::win32::UniqueBitmap;
using platform::win32::UniqueDc;
using platform::win32::WindowDc;

Image CaptureRect(int left, int top, int width, int height) {
  Image image;
  if (width <= 0 || height <= 0) return image;
  WindowDc screen(nullptr);
  UniqueDc memory(::CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap || !bits) return image;
  {
    SelectObjectScope select(memory.Get(), bitmap.Get());
    if (!::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), left, top, SRCCOPY | CAPTUREBLT)) return image;
  }
  ::GdiFlush();
  image.width = width;
  image.height = height;
  const auto* source = static_cast<const std::uint32_t*>(bits);
  image.pixels.assign(source, source + static_cast<std::size_t>(width) * height);
  for (auto& p : image.pixels) p &= 0x00FFFFFFu;
  return image;
}

}  // namespace

Image CaptureScreen() { return CaptureRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)); }

Image CaptureWindow(HWND window) {
  RECT r{};
  if (!::GetWindowRect(window, &r)) return {};
  return CaptureRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Through the program's own codec: what it reads back is what a person sees,
// with any translucency taken off again.
bool WritePng(const Image& image, const std::wstring& path) {
  if (image.width <= 0 || image.height <= 0) return false;
  Bitmap bitmap(image.width, image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) bitmap.At(x, y) = 0xFF000000u | image.At(x, y);
  }
  const std::vector<std::uint8_t> png = EncodePng(bitmap);
  return WriteFileBytes(path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
}

std::optional<Image> ReadPng(const std::wstring& path) {
  const std::string bytes = ReadFileBytes(path);
  const auto bitmap = DecodePng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  if (!bitmap || bitmap->Empty()) return std::nullopt;
  Image image{bitmap->Width(), bitmap->Height(), {}};
  image.pixels.reserve(bitmap->Pixels().size());
  for (const std::uint32_t p : bitmap->Pixels()) {
    const std::uint32_t a = p >> 24;
    const auto straight = [&](int shift) { return a ? (((p >> shift) & 0xFFu) * 255 + a / 2) / a : 0u; };
    image.pixels.push_back(a == 0xFF ? p & 0x00FFFFFFu : (straight(16) << 16) | (straight(8) << 8) | straight(0));
  }
  return image;
}

}  // namespace nudgelet::testing
