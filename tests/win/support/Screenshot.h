#pragma once
// Screenshots for the Windows tests: the screen or one window, as 32-bit pixels,
// written to and read from PNG files.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nudgelet::testing {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top

  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The whole primary screen.
Image CaptureScreen();
// The on-screen area of one window, frame included.
Image CaptureWindow(HWND window);

bool WritePng(const Image& image, const std::wstring& path);
std::optional<Image> ReadPng(const std::wstring& path);

}  // namespace nudgelet::testing
