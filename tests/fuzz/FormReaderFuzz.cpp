// libFuzzer target for form text read into controls: the reader must build a
// control tree or name the line it cannot read, never anything else, and what
// it built must lay out and paint, the form skin's frame and shadow with it.
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "skin/FakeSkinFiles.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/SkinClass.h"
#include "ui/FakeTextRenderer.h"
#include "ui/FormReader.h"
#include "ui/FormSkin.h"
#include "ui/Panel.h"
#include "ui/StandardClasses.h"
#include "ui/UiContext.h"
#include "ui/WinControl.h"

namespace {

using namespace nudgelet;
using fuzz::Check;

// Timers that never fire: a form only starts them.
class IdleTimers final : public ui::TimerService {
 public:
  std::optional<ui::TimerId> Start(unsigned, std::function<void()>, std::wstring&) override { return ++next_; }
  void Stop(ui::TimerId) override {}
  void Sleep(unsigned) override {}

 private:
  ui::TimerId next_ = 0;
};

// The window under a form skin. Whether the desktop composes (and so whether
// the shadow shows) is the input's to say; a maximised window would stop every
// later form's shadow too, so the window never is.
class StillWindow final : public ui::FormSkinWindow {
 public:
  explicit StillWindow(bool composition) : composition_(composition) {}
  bool CompositionEnabled() override { return composition_; }
  void SetGlassFrame(const Rect&) override {}
  void SetRoundRegion(int, int, int, int) override {}
  bool Maximized() override { return false; }
  void Repaint() override {}

 private:
  bool composition_;
};

struct World {
  World() {
    // The program's own forms name their own classes for the root.
    classes.Register<ui::TForm>(L"TForm_SoftupdateCombox");
    classes.Register<ui::TPanel>(L"TFrame_SoftUpdata");
    files.Add(L"C:\\App\\skin\\public.rcc",
              skin::testing::Package(u"public", {{u"main.ini", "[text_color]\nclass=color\ncl_text_b=#1F2A37\n"}}));
    store.RegisterPackage(L"C:\\App\\skin\\public.rcc", true);
  }
  skin::testing::MemoryFiles files;
  skin::InProcessSource source{files};
  skin::PackageStore store{source, files, L"C:\\App\\skin\\"};
  skin::SkinClassRegistry skins{store};
  ui::testing::FakeTextRenderer text;
  IdleTimers timers;
  ui::UiContext ui{store, skins, text, timers, {}, {}};
  ui::ControlClasses classes = ui::StandardControlClasses();
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The store keeps every picture a form names, as it should for the forms
  // the program ships; names and sizes made up by the fuzzer would fill it
  // without end (past 1.7 GB in two and a half million inputs), so the world
  // starts afresh now and then.
  static auto world = std::make_unique<World>();
  static int inputs = 0;
  if (++inputs % 20000 == 0 || world->store.CachedPictureCount() > 1024) world = std::make_unique<World>();
  const std::wstring text = fuzz::Utf16Units(data, size);
  const ui::EventBinder handlers = [](std::wstring_view name) -> std::optional<ui::TNotifyEvent> {
    if (name.size() % 2) return std::nullopt;  // some handlers exist, some do not
    return ui::TNotifyEvent([](skin::TPersistent&) {});
  };
  StillWindow still(size % 2 == 1);
  std::unique_ptr<ui::TControl> root;
  try {
    root = ui::ReadForm(world->ui, L"Fuzz", text, world->classes, handlers);
  } catch (const ui::FormReadError& e) {
    Check(e.Line() >= 1);
    return 0;
  }
  Check(root != nullptr);
  // The form skin the program looks up by this name, on its window.
  if (auto* skin = dynamic_cast<ui::TRdFormSkin*>(root->FindComponent(L"RdFormSkin1"))) {
    skin->AttachWindow(&still);
    root->SetVisible(true);
    skin->Sized();
    const Rect bounds{100, 100, 100 + root->Width(), 100 + root->Height()};
    // Clicks on the shadow go to the window below; the form's own corner never does without one.
    for (const ui::Point at : {ui::Point{100, 100}, ui::Point{105, 140}, ui::Point{150, 150}}) {
      if (skin->PassesHitThrough(at, bounds)) Check(skin->ShadowActive());
    }
  }
  // Painting a window of any size the text asks for would only test memory.
  auto* window = dynamic_cast<ui::TWinControl*>(root.get());
  if (window && window->Width() <= 1024 && window->Height() <= 1024) (void)window->PaintAll();
  return 0;
}
