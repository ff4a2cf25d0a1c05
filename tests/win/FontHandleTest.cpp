#include <gtest/gtest.h>

#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/win32/FontHandle.h"

namespace nudgelet::skin::win32 {
namespace {

using namespace nudgelet::skin::testing;

LOGFONTW Described(HFONT font) {
  LOGFONTW out{};
  EXPECT_EQ(::GetObjectW(font, sizeof out, &out), static_cast<int>(sizeof out));
  return out;
}

TEST(FontHandle, TheFaceIsMadeFromTheDescriptionAndAgainOnlyWhenItChanges) {
  MemoryFiles files;
  InProcessSource source{files};
  PackageStore store{source, files, L"C:\\App\\skin\\"};
  SkinClassRegistry registry{store};
  TRdFont font(registry, nullptr, nullptr);
  font.SetName(L"Tahoma");
  font.SetSize(9);
  font.SetStyle(fsBold | fsUnderline);

  FontHandle handle;
  const HFONT first = handle.For(font);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(handle.For(font), first);
  LOGFONTW made = Described(first);
  EXPECT_EQ(made.lfHeight, -12);
  EXPECT_EQ(made.lfWeight, FW_BOLD);
  EXPECT_TRUE(made.lfUnderline);
  EXPECT_FALSE(made.lfItalic);
  EXPECT_EQ(made.lfQuality, DEFAULT_QUALITY);
  EXPECT_STREQ(made.lfFaceName, L"Tahoma");

  font.SetAntialiased(true);
  const HFONT second = handle.For(font);
  EXPECT_EQ(Described(second).lfQuality, ANTIALIASED_QUALITY);

  // A face name longer than the system keeps is cut, not overrun.
  font.SetName(std::wstring(100, L'x'));
  EXPECT_EQ(std::wstring(Described(handle.For(font)).lfFaceName), std::wstring(LF_FACESIZE - 1, L'x'));
}

}  // namespace
}  // namespace nudgelet::skin::win32
