// libFuzzer target for form text read into controls: the reader must build a
// control tree or name the line it cannot read, never anything else, and what
// it built must lay out and paint, the form skin's frame and shadow with it.
// The controls stand on the product's own skins, with a picture for every
// name those skins and forms use, so that skin classes apply and pictures draw.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "base/Bitmap.h"
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

// The window under a form skin; whether the desktop composes (and so whether
// the shadow shows) and whether it is maximised are the input's to say.
class StillWindow final : public ui::FormSkinWindow {
 public:
  bool CompositionEnabled() override { return composition; }
  void SetGlassFrame(const Rect&) override {}
  void SetRoundRegion(int, int, int, int) override {}
  bool Maximized() override { return maximized; }
  void Repaint() override {}

  bool composition = false;
  bool maximized = false;
};

std::string SkinSource(const std::string& path) {
  std::ifstream in(std::string(NUDGELET_SKIN_SOURCES) + "/" + path, std::ios::binary);
  Check(in.good());
  return {std::istreambuf_iterator<char>(in), {}};
}

// Pictures of differing sizes, translucent in places, under every name the
// product's skins draw (the build's own list, so that a new one is fuzzed too).
void AddPictures(skin::testing::MemoryFiles& files, const std::wstring& images) {
  const std::string names = NUDGELET_SKIN_PICTURES;
  int n = 0;
  for (std::size_t start = 0; start < names.size(); ++n) {
    const std::size_t end = std::min(names.find(',', start), names.size());
    Bitmap bitmap(3 + n % 7, 2 + n % 5);
    for (int y = 0; y < bitmap.Height(); ++y) {
      for (int x = 0; x < bitmap.Width(); ++x) bitmap.At(x, y) = (x + y + n) % 3 ? 0xFF3366A0u : 0x60402010u;
    }
    files.Add(images + std::wstring(names.begin() + start, names.begin() + end) + L".png", EncodePng(bitmap));
    start = end + 1;
  }
  Check(n > 1);  // the list reached the build
}

struct World {
  static inline const std::wstring kSkin = L"C:\\App\\skin\\";

  World() {
    // The program's own forms name their own classes for the root.
    classes.Register<ui::TForm>(L"TForm_SoftupdateCombox");
    classes.Register<ui::TPanel>(L"TFrame_SoftUpdata");
    for (const std::string skin : {"public", "classic"}) {
      files.Add(kSkin + std::wstring(skin.begin(), skin.end()) + L".rcc",
                skin::testing::Package(std::u16string(skin.begin(), skin.end()),
                                       {{u"main.ini", SkinSource(skin + "/main.ini")},
                                        {u"color_setting.ini", SkinSource(skin + "/color_setting.ini")}}));
    }
    AddPictures(files, kSkin + L"classic\\images\\");
    store.RegisterPackage(kSkin + L"public.rcc", true);
    store.RegisterPackage(kSkin + L"classic.rcc", false);
  }
  skin::testing::MemoryFiles files;
  skin::InProcessSource source{files};
  skin::PackageStore store{source, files, kSkin};
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
  StillWindow still;
  still.composition = size % 2 == 1;
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
    // Maximised, the shadow steps aside; restored, it comes back as it was.
    if (size % 4 >= 2) {
      const bool shadow = skin->ShadowActive();
      still.maximized = true;
      skin->MinMaxInfo();
      skin->Sized();
      Check(!skin->ShadowActive());
      still.maximized = false;
      skin->Sized();
      Check(skin->ShadowActive() == shadow && !ui::TRdFormSkin::ShadowSuspended());
      still.composition = !still.composition;
      skin->CompositionChanged();
    }
  }
  // Painting a window of any size the text asks for would only test memory.
  auto* window = dynamic_cast<ui::TWinControl*>(root.get());
  if (window && window->Width() <= 1024 && window->Height() <= 1024) (void)window->PaintAll();
  return 0;
}
