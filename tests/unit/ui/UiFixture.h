#pragma once
// What control tests stand on: a skin in memory, text of known metrics, a
// clock the test moves, a window double that records what was asked of it,
// and pictures written as loose files of the current skin.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/Picture.h"
#include "skin/SkinClass.h"
#include "ui/FakeTextRenderer.h"
#include "ui/Panel.h"
#include "ui/UiContext.h"

namespace nudgelet::ui::testing {

class FakeTimers final : public TimerService {
 public:
  std::optional<TimerId> Start(unsigned intervalMs, std::function<void()> tick, std::wstring& error) override {
    if (failures > 0) {
      --failures;
      error = L"Not enough quota is available to process this command";
      return std::nullopt;
    }
    timers[++next] = {intervalMs, now + intervalMs, std::move(tick)};
    return next;
  }
  void Stop(TimerId id) override { timers.erase(id); }
  void Sleep(unsigned ms) override { slept += ms; }

  // Moves the clock, firing every timer that falls due on the way.
  void Advance(unsigned ms) {
    const std::uint64_t end = now + ms;
    while (true) {
      auto due = timers.end();
      for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->second.due <= end && (due == timers.end() || it->second.due < due->second.due)) due = it;
      }
      if (due == timers.end()) break;
      now = due->second.due;
      due->second.due += std::max(1u, due->second.interval);
      auto tick = due->second.tick;  // the tick may stop its own timer
      tick();
    }
    now = end;
  }
  bool Running() const { return !timers.empty(); }

  struct Timer {
    unsigned interval;
    std::uint64_t due;
    std::function<void()> tick;
  };
  std::map<TimerId, Timer> timers;
  TimerId next = 0;
  std::uint64_t now = 0;
  int failures = 0;
  unsigned slept = 0;
};

class FakeHost final : public WindowHost {
 public:
  void Invalidate(const Rect& area) override { invalidated.push_back(area); }
  void SetCapture(bool capture) override { captured = capture; }
  void SetCursor(int c) override { cursor = c; }
  void ShowHint(const std::wstring& text, Point) override { hint = text; }
  void BoundsChanged() override {}
  void VisibilityChanged() override {}
  bool HasFocus() override { return focused; }
  void TakeFocus() override { focused = true; }

  std::vector<Rect> invalidated;
  bool captured = false;
  int cursor = 0;
  std::wstring hint;
  bool focused = false;
};

// A form of 400 × 300 on a white background with a host attached.
class UiTest : public ::testing::Test {
 protected:
  static inline const std::wstring kSkin = L"C:\\App\\skin\\";

  UiTest() {
    files.Add(kSkin + L"public.rcc",
              skin::testing::Package(u"public", {{u"main.ini",
                                                  "[text_color]\nclass=color\ncl_text_b=#1F2A37\n"
                                                  "cl_link=#E8772E\n"}}));
    files.Add(kSkin + L"classic.rcc", skin::testing::Package(u"classic", {{u"main.ini", "[x]\nclass=color\n"}}));
    store.RegisterPackage(kSkin + L"public.rcc", true);
    store.RegisterPackage(kSkin + L"classic.rcc", false);
    form.SetBounds(0, 0, 400, 300);
    form.SetColor(0xFFFFFF);
    form.AttachHost(&host);
  }

  template <class T>
  T& Add(int left, int top, int width, int height) {
    T& c = form.Insert(std::make_unique<T>(ui));
    c.SetBounds(left, top, width, height);
    return c;
  }

  // Mouse actions in form coordinates.
  void Move(int x, int y) { form.Root().MouseMove(0, {x, y}); }
  void Press(int x, int y) { form.Root().MouseDown(MouseButton::Left, kSsLeft, {x, y}, false); }
  void Release(int x, int y) { form.Root().MouseUp(MouseButton::Left, 0, {x, y}); }
  void Click(int x, int y) { Move(x, y), Press(x, y), Release(x, y); }

  Bitmap Paint() {
    text.drawn.clear();
    return form.PaintAll();
  }

  skin::testing::MemoryFiles files;
  skin::InProcessSource source{files};
  skin::PackageStore store{source, files, kSkin};
  skin::SkinClassRegistry skins{store};
  FakeTextRenderer text;
  FakeTimers timers;
  UiContext ui{store, skins, text, timers, {}, {}};
  FakeHost host;
  TForm form{ui};
};

// Controls drawn from pictures, pointed at them by descriptor as a form or a skin section would.
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
