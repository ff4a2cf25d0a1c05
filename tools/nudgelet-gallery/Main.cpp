// nudgelet-gallery: every control of the toolkit in each of its states, on
// the product's skin.
//
//   nudgelet-gallery                             a window with every page
//   nudgelet-gallery --page NAME --shot OUT.png  one page, painted to a PNG
//   nudgelet-gallery --form FILE --shot OUT.png  form text from a file, likewise
//
// A page stages the states it shows by the names of its controls: a name
// ending in "Hover" has the pointer over it, "Down" the button held down too,
// "ThumbHot" the pointer over a scroll bar's thumb.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"
#include "platform/win32/Win32FileSystem.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/SkinClass.h"
#include "ui/HtmLabel.h"
#include "ui/ImageButton.h"
#include "ui/ListView.h"
#include "ui/Panel.h"
#include "ui/ScrollBar.h"
#include "ui/StandardClasses.h"
#include "ui/win32/NativeWindow.h"
#include "ui/win32/UiRuntime.h"

namespace nudgelet::gallery {
namespace {

using namespace nudgelet::ui;

constexpr int kOk = 0, kFailed = 1, kBadForm = 2;
const wchar_t* const kPages[] = {L"Labels", L"HtmlLabels", L"Buttons", L"ScrollBars", L"Lists"};

void Error(const std::string& line) {
  HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  if (!err || err == INVALID_HANDLE_VALUE) {
    ::AttachConsole(ATTACH_PARENT_PROCESS);
    err = ::GetStdHandle(STD_ERROR_HANDLE);
  }
  const std::string text = "nudgelet-gallery: " + line + "\n";
  DWORD written = 0;
  if (err && err != INVALID_HANDLE_VALUE)
    ::WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  return ExtractFilePath(std::wstring(path, n));
}

std::optional<std::wstring> PageText(const std::wstring& name) {
  const HRSRC found = ::FindResourceW(nullptr, ToUpper(name).c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(nullptr, found);
  const auto* bytes = static_cast<const char*>(::LockResource(loaded));
  if (!bytes) return std::nullopt;
  return Utf8ToWide(std::string_view(bytes, ::SizeofResource(nullptr, found)));
}

std::optional<std::wstring> FileText(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeText(bytes).text;
}

bool EndsWith(std::wstring_view text, std::wstring_view end) {
  return text.size() >= end.size() && EqualsIgnoreCase(text.substr(text.size() - end.size()), end);
}

// A program's icon for the samples: a rounded square in its colour with its initial.
Bitmap SampleIcon(UiContext& ui, int size, skin::Color color, wchar_t initial) {
  Bitmap icon(size, size);
  Canvas canvas(&icon, {0, 0}, ui.Colors(), ui.text);
  canvas.FillEllipse({0, 0, size, size}, color);
  canvas.SetFont({-size * 5 / 8, L"Tahoma", skin::fsBold, 1, 4});
  canvas.SetTextColor(0xFFFFFF);
  Rect r{0, 0, size, size};
  canvas.DrawString(std::wstring(1, initial), r, kDtCenter | kDtVCenter | kDtSingleLine | kDtNoPrefix);
  return icon;
}

// Rows for the lists that show samples, some of them hot or selected.
void FillSample(TRdListView& list) {
  struct Program {
    const wchar_t* name;
    const wchar_t* version;
    skin::Color color;
  };
  static const Program kPrograms[] = {{L"7-Zip", L"24.08", 0x3A7D2E},        {L"Audacity", L"3.7.1", 0xC0602A},
                                      {L"Firefox", L"133.0", 0x1F6FE0},      {L"Notepad++", L"8.7.4", 0x2E9E50},
                                      {L"VLC media player", L"3.0.21", 0x1C7CEB}, {L"GIMP", L"2.10.38", 0x5A5A6E}};
  const bool report = list.ViewStyle() == TViewStyle::vsReport;
  list.BeginUpdate();
  list.SetIconSpacing(99, 99);
  for (const Program& p : kPrograms) {
    const int icon = list.LargeImages().Add(SampleIcon(list.Ui(), 32, p.color, p.name[0]));
    list.SmallImages().Add(SampleIcon(list.Ui(), 16, p.color, p.name[0]));
    auto& item = list.AddItem(report ? std::wstring(p.name) + L"\r\rUpdate available" : p.name, icon);
    item.SubItems().Add(p.version);
  }
  list.EndUpdate();
  list.Select(2);
  const Rect hot = list.ItemRect(1);
  list.SetMouseInControl(true);
  list.MouseMove(0, (hot.left + hot.right) / 2, (hot.top + hot.bottom) / 2);
}

// Puts the controls into the states their names ask for.
void Stage(TControl& control) {
  for (const auto& child : control.Controls()) Stage(*child);
  const std::wstring& name = control.Name();
  if (auto* list = dynamic_cast<TRdListView*>(&control); list && EndsWith(name, L"Sample")) {
    FillSample(*list);
    return;
  }
  if (auto* bar = dynamic_cast<TRdScrollBar*>(&control); bar && EndsWith(name, L"ThumbHot")) {
    TRdScrollBarEx& inner = bar->Bar();
    const Rect thumb = inner.PartRect(spTrack);
    inner.SetMouseInControl(true);
    inner.MouseEnter();
    inner.MouseMove(0, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    return;
  }
  if (EndsWith(name, L"Hover") || EndsWith(name, L"Down")) {
    control.SetMouseInControl(true);
    control.MouseEnter();
    int x = control.Width() / 2, y = control.Height() / 2;
    // An HTML label is hovered where its first link is.
    if (auto* html = dynamic_cast<TRdHtmLabel*>(&control)) {
      html->AnchorAt(0, 0);
      if (!html->AnchorBoxes().empty() && !html->AnchorBoxes()[0].rects.empty()) {
        const Rect& r = html->AnchorBoxes()[0].rects[0];
        x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
      }
    }
    control.MouseMove(0, x, y);
    if (EndsWith(name, L"Down")) control.MouseDown(MouseButton::Left, kSsLeft, x, y);
  }
}

class Gallery {
 public:
  Gallery()
      : files_(),
        source_(files_),
        store_(source_, files_, ExeFolder() + L"skin\\"),
        skins_(store_),
        runtime_(store_, skins_),
        classes_(StandardControlClasses()) {
    const std::wstring folder = store_.SkinPath();
    store_.RegisterPackage(folder + L"public.rcc", true);
    store_.RegisterPackage(folder + L"classic.rcc", false);
  }

  std::unique_ptr<TWinControl> Build(const std::wstring& name, const std::wstring& text) {
    std::unique_ptr<TControl> root = ReadForm(runtime_.Context(), name, text, classes_, nullptr);
    if (!root->Windowed()) throw FormReadError(name, 1, "the top object must be a form or a panel");
    return std::unique_ptr<TWinControl>(static_cast<TWinControl*>(root.release()));
  }

  int Shot(const std::wstring& name, const std::wstring& text, const std::wstring& out) {
    std::unique_ptr<TWinControl> form;
    try {
      form = Build(name, text);
    } catch (const FormReadError& e) {
      Error(e.what());
      return kBadForm;
    }
    Stage(*form);
    const Bitmap bitmap = form->PaintAll();
    const std::vector<std::uint8_t> png = EncodePng(bitmap);
    std::ofstream file(out.c_str(), std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!file.flush()) {
      Error("cannot write " + WideToUtf8(out));
      return kFailed;
    }
    return kOk;
  }

  int Show() {
    TForm window(runtime_.Context());
    window.SetCaption(L"Nudgelet gallery");
    window.SetBorderStyle(TFormBorderStyle::bsSingle);
    window.SetColor(0xF7F4F2);
    window.SetBounds(40, 40, 720, 400);
    int top = 16;
    for (const wchar_t* page : kPages) {
      auto& button = window.Insert(std::make_unique<TRdImageButton>(runtime_.Context()));
      button.AllSkin().SetSkinClass(L"btn_action");
      button.SetCaption(page);
      button.SetBounds(16, top, 130, 32);
      button.onClick = [this, &window, name = std::wstring(page)](skin::TPersistent&) { Open(window, name); };
      top += 44;
    }
    auto host = ui::win32::NativeWindow::Create(window);
    if (!host) return kFailed;
    window.onClose = [](skin::TPersistent&) { ::PostQuitMessage(0); };
    Open(window, kPages[0]);
    ::ShowWindow(host->Handle(), SW_SHOW);
    const int code = ui::win32::RunMessageLoop();
    pageWindow_.reset();
    return code;
  }

 private:
  void Open(TForm& window, const std::wstring& name) {
    pageWindow_.reset();
    if (page_) window.RemoveControl(*page_);
    page_ = nullptr;
    auto built = Build(name, *PageText(name));
    Stage(*built);
    built->SetBounds(150, 20, built->Width(), built->Height());
    page_ = &static_cast<TWinControl&>(window.InsertControl(std::move(built)));
    pageWindow_ = ui::win32::NativeWindow::Create(*page_);
  }

  platform::win32::Win32FileSystem files_;
  skin::InProcessSource source_;
  skin::PackageStore store_;
  skin::SkinClassRegistry skins_;
  ui::win32::UiRuntime runtime_;
  ControlClasses classes_;
  TWinControl* page_ = nullptr;
  std::unique_ptr<ui::win32::NativeWindow> pageWindow_;
};

int Run(const std::vector<std::wstring>& args) {
  std::wstring page, form, shot;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool value = i + 1 < args.size();
    if (args[i] == L"--page" && value) {
      page = args[++i];
    } else if (args[i] == L"--form" && value) {
      form = args[++i];
    } else if (args[i] == L"--shot" && value) {
      shot = args[++i];
    } else {
      Error("usage: nudgelet-gallery [--page NAME | --form FILE] [--shot OUT.png]");
      return kBadForm;
    }
  }
  Gallery gallery;
  if (page.empty() && form.empty() && shot.empty()) return gallery.Show();
  if (shot.empty() || page.empty() == form.empty()) {
    Error("--shot needs exactly one of --page and --form");
    return kBadForm;
  }
  std::optional<std::wstring> text = page.empty() ? FileText(form) : PageText(page);
  if (!text) {
    Error(page.empty() ? "cannot read " + WideToUtf8(form) : "no page " + WideToUtf8(page));
    return kBadForm;
  }
  return gallery.Shot(page.empty() ? ExtractFileName(form) : page, *text, shot);
}

}  // namespace
}  // namespace nudgelet::gallery

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::vector<std::wstring> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__wargv[i]);
  try {
    return nudgelet::gallery::Run(args);
  } catch (const std::exception& e) {
    nudgelet::gallery::Error(e.what());
    return 1;
  }
}
