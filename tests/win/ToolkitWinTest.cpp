// The toolkit on Windows: GDI text, real windows fed real messages, and the
// gallery's screenshots read back at chosen pixels.

#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <cstdlib>
#include <fstream>

#include "platform/win32/Win32FileSystem.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "support/ChildProcess.h"
#include "support/Screenshot.h"
#include "ui/FormSkin.h"
#include "ui/ImageButton.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/win32/FormSkinWindow.h"
#include "ui/win32/NativeWindow.h"
#include "ui/win32/UiRuntime.h"

namespace nudgelet::ui {
namespace {

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

// Messages handled for a while, so timers tick and paints happen.
void Pump(int ms) {
  const DWORD end = ::GetTickCount() + ms;
  do {
    win32::PumpMessages();
    ::Sleep(5);
  } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

class ToolkitWindowTest : public ::testing::Test {
 protected:
  ToolkitWindowTest() {
    store.RegisterPackage(store.SkinPath() + L"public.rcc", true);
    store.RegisterPackage(store.SkinPath() + L"classic.rcc", false);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetFormStyle(TFormStyle::fsStayOnTop);
    form.SetBounds(100, 100, 300, 200);
    form.SetColor(0xFFFFFF);
  }

  HWND Show() {
    window = win32::NativeWindow::Create(form);
    EXPECT_NE(window, nullptr);
    ::ShowWindow(window->Handle(), SW_SHOWNOACTIVATE);
    Pump(100);
    return window->Handle();
  }

  void Post(UINT message, WPARAM wparam, int x, int y) {
    ::PostMessageW(window->Handle(), message, wparam, MAKELPARAM(x, y));
    Pump(20);
  }

  platform::win32::Win32FileSystem files;
  skin::InProcessSource source{files};
  skin::PackageStore store{source, files, ExeFolder() + L"skin\\"};
  skin::SkinClassRegistry skins{store};
  win32::UiRuntime runtime{store, skins};
  TForm form{runtime.Context()};
  std::unique_ptr<win32::NativeWindow> window;
};

// Wine composes no windows, so the shadow's path runs here on a desktop
// window manager that says it does.
TEST_F(ToolkitWindowTest, TheShadowPassesClicksThroughItsMarginsAndLeavesAMaximisedForm) {
  TRdFormSkin skin(runtime.Context());
  skin.ShadowFrame().SetMargins(10, 10, 10, 10);
  skin.ShadowFrame().SetEnabled(true);
  skin.SetOwnerForm(&form);
  bool composes = true;
  std::vector<Rect> glass;
  win32::Win32FormSkinWindow::Dwm dwm{[&] { return composes; },
                                      [&](HWND, const Rect& margins) { glass.push_back(margins); }};
  const HWND hwnd = Show();
  win32::Win32FormSkinWindow skinned(*window, skin, dwm);
  ASSERT_TRUE(skin.ShadowActive());
  EXPECT_EQ(glass.back(), (Rect{10, 10, 10, 10}));

  RECT r;
  ::GetWindowRect(hwnd, &r);
  const auto hit = [&](int dx) {
    return static_cast<LRESULT>(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + dx, r.top + 100)));
  };
  EXPECT_EQ(hit(5), HTTRANSPARENT);
  EXPECT_EQ(hit(15), HTCLIENT);

  ::ShowWindow(hwnd, SW_MAXIMIZE);
  Pump(100);
  EXPECT_FALSE(skin.ShadowActive());
  EXPECT_EQ(glass.back(), Rect{});
  ::ShowWindow(hwnd, SW_RESTORE);
  Pump(100);
  EXPECT_TRUE(skin.ShadowActive());
  EXPECT_EQ(glass.back(), (Rect{10, 10, 10, 10}));

  // Composition switched off while the window is up: the flush layout.
  composes = false;
  ::SendMessageW(hwnd, 0x031E /* WM_DWMCOMPOSITIONCHANGED */, 0, 0);
  EXPECT_FALSE(skin.ShadowActive());
  EXPECT_EQ(glass.back(), Rect{});
  EXPECT_EQ(hit(5), HTCLIENT);
}

TEST_F(ToolkitWindowTest, AMouseSequenceFadesClicksOnceAndIgnoresAReleaseOutside) {
  auto& button = form.Insert(std::make_unique<TRdImageButton>(runtime.Context()));
  button.AllSkin().SetSkinClass(L"btn_action");
  button.SetAutoSize(true);
  button.hoverEffect = THoverEffect::ibeSingle;
  button.SetBounds(20, 20, button.Width(), button.Height());
  int clicks = 0;
  button.onClick = [&](skin::TPersistent&) { ++clicks; };
  Show();

  Post(WM_MOUSEMOVE, 0, 40, 30);
  EXPECT_TRUE(button.Hovered());
  EXPECT_EQ(button.FadeDirection(), TFadeDirection::Entering);
  const auto paintsBefore = window->Paints();
  Pump(600);  // 14 steps of 10 ms at the least
  EXPECT_EQ(button.FadeDirection(), TFadeDirection::None);
  EXPECT_EQ(button.FadeStep(), 0);
  EXPECT_GT(window->Paints(), paintsBefore + 3);

  Post(WM_LBUTTONDOWN, MK_LBUTTON, 40, 30);
  EXPECT_EQ(button.ButtonState(), TButtonState::bsDown);
  Post(WM_LBUTTONUP, 0, 40, 30);
  EXPECT_EQ(clicks, 1);

  Post(WM_LBUTTONDOWN, MK_LBUTTON, 40, 30);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 250, 150);
  EXPECT_FALSE(button.Hovered());
  Post(WM_LBUTTONUP, 0, 250, 150);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.ButtonState(), TButtonState::bsNormal);
}

TEST_F(ToolkitWindowTest, RepaintingDoesNotLeakGdiObjects) {
  auto& label = form.Insert(std::make_unique<TRdLabel>(runtime.Context()));
  label.SetCaption(L"Repainted a thousand times");
  label.SetBounds(10, 10, 200, 20);
  auto& button = form.Insert(std::make_unique<TRdImageButton>(runtime.Context()));
  button.AllSkin().SetSkinClass(L"btn_action");
  button.SetCaption(L"Update Now");
  button.SetBounds(10, 60, 130, 32);
  const HWND hwnd = Show();
  auto repaint = [&](int times) {
    for (int i = 0; i < times; ++i) {
      ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      if (i % 100 == 0) Post(WM_MOUSEMOVE, 0, 20 + i / 10, 70);
    }
  };
  repaint(50);  // caches filled, fonts made
  // Wine counts no GDI objects (GetGuiResources answers 0 there), so the
  // memory that every leaked bitmap of a paint would take is watched as well.
  const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  const SIZE_T committedBefore = memory.PagefileUsage;
  repaint(1000);
  const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  EXPECT_LE(after, before + 2) << before << " before";
  EXPECT_LT(memory.PagefileUsage, committedBefore + (2u << 20)) << committedBefore << " bytes before";
  EXPECT_GE(window->Paints(), 1050u);
}

TEST_F(ToolkitWindowTest, GdiTextFindsTheEllipsisAndLeavesOpaquePixels) {
  auto& label = form.Insert(std::make_unique<TRdLabel>(runtime.Context()));
  label.SetAutoSize(false);
  label.SetBounds(10, 10, 140, 17);
  label.SetEllipsisPosition(TEllipsisPosition::epEndEllipsis);
  label.SetCaption(L"A caption that is far too long for a hundred and forty pixels");
  const Bitmap shot = form.PaintAll();
  EXPECT_TRUE(label.FoundTextEllipsis());
  int inked = 0;
  for (int y = 10; y < 27; ++y) {
    for (int x = 10; x < 150; ++x) {
      EXPECT_EQ(shot.At(x, y) >> 24, 0xFFu);
      inked += shot.At(x, y) != 0xFFFFFFFFu;
    }
  }
  EXPECT_GT(inked, 100);
  label.SetCaption(L"Short");
  form.PaintAll();
  EXPECT_FALSE(label.FoundTextEllipsis());
}

// The gallery, as a separate program: its PNGs at the pixels its pages fix.
class GalleryTest : public ::testing::Test {
 protected:
  std::optional<testing::Image> Shot(const std::wstring& args) {
    const std::wstring out = ExeFolder() + L"gallery-shot.png";
    ::DeleteFileW(out.c_str());
    const DWORD code =
        testing::RunToEnd(L"\"" + ExeFolder() + L"nudgelet-gallery.exe\" " + args + L" --shot \"" + out + L"\"");
    EXPECT_EQ(code, 0u) << std::string(args.begin(), args.end());
    return testing::ReadPng(out);
  }
  static bool Orange(std::uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r > 180 && g > 70 && g < 160 && b < 110;
  }
};

TEST_F(GalleryTest, ButtonsShowTheirHoverAndPressedPictures) {
  const auto shot = Shot(L"--page Buttons");
  ASSERT_TRUE(shot);
  // The close buttons at 20, 60 and 100: no face, a light face, a darker one.
  const std::uint32_t normal = shot->At(28, 64), hover = shot->At(68, 64), down = shot->At(108, 64);
  EXPECT_EQ(normal, 0xFFFFFFu);
  EXPECT_NE(hover, normal);
  EXPECT_NE(down, hover);
  EXPECT_LT(down & 0xFF, hover & 0xFF);
  // "Update Now" normal, hover, pressed: three different faces.
  EXPECT_NE(shot->At(30, 118), shot->At(170, 118));
  EXPECT_NE(shot->At(170, 118), shot->At(310, 118));
}

TEST_F(GalleryTest, TheCountIsDrawnInTheLinkColourAndOnlyThere) {
  const auto shot = Shot(L"--page HtmlLabels");
  ASSERT_TRUE(shot);
  int orangeInCount = 0, orangeAfter = 0;
  for (int y = 50; y < 74; ++y) {
    for (int x = 20; x < 32; ++x) orangeInCount += Orange(shot->At(x, y));
    for (int x = 40; x < 330; ++x) orangeAfter += Orange(shot->At(x, y));
  }
  EXPECT_GT(orangeInCount, 5);
  EXPECT_EQ(orangeAfter, 0);
}

TEST_F(GalleryTest, TheThumbIsWhereTheNumbersPutIt) {
  const auto shot = Shot(L"--page ScrollBars");
  ASSERT_TRUE(shot);
  // Max 99, page 20, position 40 on a 200-pixel track from y = 60: a 40-pixel thumb from y = 140.
  const std::uint32_t track = shot->At(84, 100), thumb = shot->At(84, 160);
  EXPECT_NE(track, thumb);
  EXPECT_EQ(shot->At(84, 141), thumb);
  EXPECT_EQ(shot->At(84, 178), thumb);
  EXPECT_EQ(shot->At(84, 130), track);
  EXPECT_EQ(shot->At(84, 190), track);
  // The hot thumb (position 80: the end of the track) in the darker picture.
  EXPECT_LT(shot->At(134, 240) & 0xFF, thumb & 0xFF);
}

TEST_F(GalleryTest, AFormFromAFileIsBuiltAndBadTextExitsTwo) {
  const std::wstring form = ExeFolder() + L"gallery-form.txt";
  {
    std::ofstream out(std::string(form.begin(), form.end()));
    out << "object F: TForm\n  ClientWidth = 40\n  ClientHeight = 30\n  Color = clWhite\n"
           "  object S: TShape\n    Left = 10\n    Top = 10\n    Width = 20\n    Height = 10\n"
           "    Brush.Color = clRed\n    Pen.Color = clRed\n  end\nend\n";
  }
  const auto shot = Shot(L"--form \"" + form + L"\"");
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->width, 40);
  EXPECT_EQ(shot->At(20, 15), 0xFF0000u);
  EXPECT_EQ(shot->At(5, 5), 0xFFFFFFu);

  {
    std::ofstream out(std::string(form.begin(), form.end()));
    out << "object F: TForm\n  Colour = clWhite\nend\n";
  }
  const DWORD code = testing::RunToEnd(L"\"" + ExeFolder() + L"nudgelet-gallery.exe\" --form \"" + form +
                                       L"\" --shot \"" + ExeFolder() + L"never.png\"");
  EXPECT_EQ(code, 2u);
}

}  // namespace
}  // namespace nudgelet::ui
