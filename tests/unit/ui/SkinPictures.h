#pragma once
// Pictures for controls drawn from the skin: small PNGs written as loose files
// of the current skin, and picture properties pointed at them by descriptor,
// as a form or a skin section would.

#include <cstdlib>
#include <string>

#include "base/Bitmap.h"
#include "skin/Picture.h"
#include "ui/UiFixture.h"

namespace nudgelet::ui::testing {

class PictureTest : public UiTest {
 protected:
  // images/<name> in the current skin.
  void AddPicture(const std::wstring& name, const Bitmap& pixels) {
    files.Add(kSkin + L"classic\\images\\" + name, EncodePng(pixels));
  }
  void AddSolid(const std::wstring& name, int width, int height, std::uint32_t argb) {
    AddPicture(name, Bitmap(width, height, argb));
  }
  void Use(skin::TPicture& picture, const std::wstring& name) {
    picture.ReadDescriptor(store, {L"imgname=images/" + name});
  }
};

// A pixel within a step or two of a colour, for what blending rounds.
inline ::testing::AssertionResult Near(std::uint32_t pixel, int r, int g, int b) {
  const int pr = (pixel >> 16) & 0xFF, pg = (pixel >> 8) & 0xFF, pb = pixel & 0xFF;
  if (std::abs(pr - r) <= 2 && std::abs(pg - g) <= 2 && std::abs(pb - b) <= 2) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << pr << ", " << pg << ", " << pb << "), expected (" << r << ", "
                                       << g << ", " << b << ")";
}

}  // namespace nudgelet::ui::testing
