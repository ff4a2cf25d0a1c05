// libFuzzer target for form text read into controls: the reader must build a
// control tree or name the line it cannot read, never anything else, and what
// it built must lay out and paint.
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

struct World {
  World() {
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
  std::unique_ptr<ui::TControl> root;
  try {
    root = ui::ReadForm(world->ui, L"Fuzz", text, world->classes, handlers);
  } catch (const ui::FormReadError& e) {
    Check(e.Line() >= 1);
    return 0;
  }
  Check(root != nullptr);
  // Painting a window of any size the text asks for would only test memory.
  auto* window = dynamic_cast<ui::TWinControl*>(root.get());
  if (window && window->Width() <= 1024 && window->Height() <= 1024) (void)window->PaintAll();
  return 0;
}
