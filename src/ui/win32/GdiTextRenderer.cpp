#include "ui/win32/GdiTextRenderer.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "skin/win32/FontHandle.h"
#include "ui/Canvas.h"

namespace nudgelet::ui::win32 {

using platform::win32::UniqueBitmap;
using platform::win32::UniqueDc;

GdiTextRenderer::GdiTextRenderer() : dc_(::CreateCompatibleDC(nullptr)) {}

HFONT GdiTextRenderer::FontFor(const skin::FontDescription& font) {
  for (auto& [description, handle] : fonts_) {
    if (description == font) return handle.Get();
  }
  if (fonts_.size() >= 32) fonts_.erase(fonts_.begin());
  fonts_.emplace_back(font, skin::win32::CreateFontFor(font));
  return fonts_.back().second.Get();
}

int GdiTextRenderer::DrawString(Bitmap* target, const Rect& clip, const TextStyle& style, std::wstring_view text,
                                Rect& rect, unsigned flags) {
  if (!dc_) return 0;
  // DrawTextW may write into the text with DT_MODIFYSTRING; never ask it to.
  std::wstring copy(text);
  flags &= ~0x10000u;
  const HGDIOBJ oldFont = ::SelectObject(dc_.Get(), FontFor(style.font));
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  int height = 0;
  const Rect area = Intersect(clip, (flags & kDtNoClip) ? clip : rect);
  if ((flags & kDtCalcRect) || !target || area.Empty()) {
    // Measuring, or drawing out of sight: only the height counts. A 1 × 1
    // bitmap keeps GDI from drawing anywhere that matters.
    height = ::DrawTextW(dc_.Get(), copy.data(), static_cast<int>(copy.size()), &r, flags);
    if (flags & kDtCalcRect) rect = {r.left, r.top, r.right, r.bottom};
    ::SelectObject(dc_.Get(), oldFont);
    return height;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = area.Width();
  info.bmiHeader.biHeight = -area.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) {
    ::SelectObject(dc_.Get(), oldFont);
    return 0;
  }
  auto* pixels = static_cast<std::uint32_t*>(bits);
  const int w = area.Width();
  for (int y = 0; y < area.Height(); ++y) {
    std::memcpy(pixels + static_cast<std::size_t>(y) * w, &target->At(area.left, area.top + y), w * 4u);
  }
  // What GDI draws is told apart from what was there by the alpha it leaves:
  // every pixel starts with alpha 1, and text comes back with 0.
  std::vector<std::uint32_t> before(pixels, pixels + static_cast<std::size_t>(w) * area.Height());
  for (std::size_t i = 0; i < before.size(); ++i) pixels[i] = (pixels[i] & 0x00FFFFFF) | 0x01000000;
  const HGDIOBJ oldBitmap = ::SelectObject(dc_.Get(), dib.Get());
  ::SetViewportOrgEx(dc_.Get(), -area.left, -area.top, nullptr);
  ::SetBkMode(dc_.Get(), TRANSPARENT);
  ::SetTextColor(dc_.Get(), style.rgb & 0x00FFFFFF);
  ::GdiFlush();
  height = ::DrawTextW(dc_.Get(), copy.data(), static_cast<int>(copy.size()), &r, flags);
  ::GdiFlush();
  ::SetViewportOrgEx(dc_.Get(), 0, 0, nullptr);
  ::SelectObject(dc_.Get(), oldBitmap);
  ::SelectObject(dc_.Get(), oldFont);
  for (int y = 0; y < area.Height(); ++y) {
    std::uint32_t* row = &target->At(area.left, area.top + y);
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      if ((pixels[i] >> 24) == 0) row[x] = pixels[i] | 0xFF000000u;  // text: opaque
    }
  }
  return height;
}

}  // namespace nudgelet::ui::win32
