#include "SkinTool.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "base/Strings.h"
#include "skin/LooseFiles.h"
#include "skin/PackageStore.h"
#include "skin/RdgImage.h"
#include "skin/RegistrySource.h"
#include "uipack/ResourcePackage.h"

#if defined(_WIN32)
#include "skin/win32/SystemColors.h"
#endif

namespace nudgelet::skintool {
namespace {

constexpr int kDone = 0;
constexpr int kMissing = 1;
constexpr int kBadInput = 2;

const char* kUsage =
    "usage: nudgelet-skin list PACKAGE\n"
    "       nudgelet-skin cat PACKAGE NAME\n"
    "       nudgelet-skin color SKINFOLDER NAME\n"
    "       nudgelet-skin check SKINFOLDER\n"
    "       nudgelet-skin render SKINFOLDER WIDTHxHEIGHT OUTPUT.png DESCRIPTOR-LINE...\n";

std::string U8(const std::wstring& text) { return WideToUtf8(text); }

std::optional<uipack::ResourcePackage> OpenPackage(const std::wstring& path, std::ostream& err) {
  const skin::DiskFiles disk;
  const uipack::PackageLimits limits;
  auto bytes = disk.Read(path, limits.maxPackageBytes);
  if (!bytes) {
    err << "nudgelet-skin: cannot read " << U8(path) << "\n";
    return std::nullopt;
  }
  try {
    return uipack::ResourcePackage::Open(std::move(*bytes), limits);
  } catch (const uipack::PackageError& e) {
    err << "nudgelet-skin: " << U8(path) << " is not a skin package: " << e.what() << "\n";
    return std::nullopt;
  }
}

int List(const std::wstring& path, std::ostream& out, std::ostream& err) {
  const auto package = OpenPackage(path, err);
  if (!package) return kBadInput;
  std::vector<std::pair<std::wstring, std::uint32_t>> entries;
  package->ForEachFile([&](const std::wstring& file, const uipack::ResourcePackage::Entry& entry) {
    entries.emplace_back(L":/" + file, entry.size);
  });
  std::sort(entries.begin(), entries.end());
  for (const auto& [name, size] : entries) out << U8(name) << '\t' << size << '\n';
  return kDone;
}

int Cat(const std::wstring& path, const std::wstring& name, std::ostream& out, std::ostream& err) {
  const auto package = OpenPackage(path, err);
  if (!package) return kBadInput;
  std::wstring inside = name;
  if (inside.rfind(L":/", 0) == 0) inside.erase(0, 2);
  std::optional<std::vector<std::uint8_t>> bytes;
  try {
    bytes = package->ReadFile(inside);
  } catch (const uipack::PackageError& e) {
    err << "nudgelet-skin: " << U8(name) << " is damaged: " << e.what() << "\n";
    return kBadInput;
  }
  if (!bytes) {
    err << "nudgelet-skin: " << U8(path) << " holds no file " << U8(name) << "\n";
    return kBadInput;
  }
  out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  return out ? kDone : kBadInput;
}

// The skin as the tip window sets it up: public.rcc, then classic.rcc, from one folder.
class Skin {
 public:
  explicit Skin(const std::wstring& folder) : source_(disk_), store_(source_, disk_, folder) {
#if defined(_WIN32)
    skin::win32::UseSystemColors(store_.Colors());
#endif
  }

  bool Open(std::ostream& err) {
    const std::wstring folder = store_.SkinPath();
    if (!disk_.FolderExists(folder)) {
      err << "nudgelet-skin: no folder " << U8(folder) << "\n";
      return false;
    }
    for (const wchar_t* name : {L"public.rcc", L"classic.rcc"}) {
      if (!OpenPackage(folder + name, err)) return false;
    }
    store_.RegisterPackage(folder + L"public.rcc", true);
    store_.RegisterPackage(folder + L"classic.rcc", false);
    return true;
  }

  skin::PackageStore& Store() { return store_; }

 private:
  skin::DiskFiles disk_;
  skin::RegistrySource source_;
  skin::PackageStore store_;
};

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

int Color(const std::wstring& folder, const std::wstring& name, std::ostream& out, std::ostream& err) {
  Skin skin(folder);
  if (!skin.Open(err)) return kBadInput;
  const auto& colors = skin.Store().Colors();
  const skin::Color stored = colors.IdentToColor(name);
  out << Hex(colors.ColorToRGB(stored)) << '\n';
  const bool plain = (stored & 0xFF000000) != 0xFF000000 || (stored & 0x00FFFFFF) < 256;
  if (!plain && !colors.Defines(stored)) {
    err << "nudgelet-skin: the skin does not define " << U8(name) << "\n";
    return kMissing;
  }
  return kDone;
}

int Check(const std::wstring& folder, std::ostream& out, std::ostream& err) {
  Skin skin(folder);
  if (!skin.Open(err)) return kBadInput;
  auto& store = skin.Store();
  std::size_t missing = 0;
  for (const auto& name : FormPictures()) {
    const auto picture = store.LoadPicture(name);
    if (picture->Empty()) {
      out << "missing picture " << U8(name) << '\n';
      ++missing;
    } else if (picture->Image()->Empty()) {
      out << "not a PNG picture " << U8(name) << '\n';
      ++missing;
    }
  }
  for (const auto& color : FormColors()) {
    if (!store.Colors().Defines(skin::ColorIdOf(color))) {
      out << "missing colour " << U8(color) << '\n';
      ++missing;
    }
  }
  out << FormPictures().size() << " pictures, " << FormColors().size() << " colours, " << missing << " missing\n";
  return missing == 0 ? kDone : kMissing;
}

std::optional<std::pair<int, int>> ParseSize(const std::wstring& text) {
  const auto x = text.find_first_of(L"xX");
  if (x == std::wstring::npos) return std::nullopt;
  const auto number = [](const std::wstring& t) -> int {
    if (t.empty() || t.size() > 5 || t.find_first_not_of(L"0123456789") != std::wstring::npos) return 0;
    return std::stoi(t);
  };
  const int w = number(text.substr(0, x));
  const int h = number(text.substr(x + 1));
  if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return std::nullopt;
  return std::make_pair(w, h);
}

int Render(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err) {
  const auto size = ParseSize(args[2]);
  if (!size) {
    err << "nudgelet-skin: the size must be WIDTHxHEIGHT, each 1 to 8192: " << U8(args[2]) << "\n";
    return kBadInput;
  }
  Skin skin(args[1]);
  if (!skin.Open(err)) return kBadInput;
  skin::TRdgImage picture(skin.Store());
  picture.SetValues(std::vector<std::wstring>(args.begin() + 4, args.end()));
  skin::Bitmap bitmap(size->first, size->second);
  picture.Draw(bitmap, {0, 0, size->first, size->second});
  const auto png = skin::EncodePng(bitmap);
  std::ofstream file(std::filesystem::path(
#if defined(_WIN32)
                         args[3]
#else
                         U8(args[3])
#endif
                         ),
                     std::ios::binary);
  if (!file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()))) {
    err << "nudgelet-skin: cannot write " << U8(args[3]) << "\n";
    return kBadInput;
  }
  out << U8(picture.ImgName()) << ' ' << picture.Width() << 'x' << picture.Height() << " drawn into "
      << size->first << 'x' << size->second << '\n';
  if (picture.Width() == 0) {
    err << "nudgelet-skin: the descriptor names no picture of the skin\n";
    return kMissing;
  }
  return kDone;
}

}  // namespace

const std::vector<std::wstring>& FormPictures() {
  static const std::vector<std::wstring> pictures = {
      L"images/btn_close_normal.png",      L"images/btn_close_press.png",     L"images/btn_close_over.png",
      L"images/btn_colours_normal.png",    L"images/btn_colours_press.png",   L"images/btn_colours_over.png",
      L"images/btn_colours_disabled.png",  L"images/img_window_update.png",   L"images/bg_shadow_top.png",
      L"images/bg_shadow_topleft.png",     L"images/bg_shadow_topright.png",  L"images/bg_shadow_left.png",
      L"images/bg_shadow_right.png",       L"images/bg_shadow_bottom.png",    L"images/bg_shadow_bottomleft.png",
      L"images/bg_shadow_bottomright.png", L"images/scroll_bg.png",           L"images/scrollbar_normal.png",
      L"images/scrollbar_over.png",
  };
  return pictures;
}

const std::vector<std::wstring>& FormColors() {
  static const std::vector<std::wstring> colors = {
      L"public_element.cl_window_bg_border",       L"public_element.cl_window_content_bg",
      L"public_element.cl_window_listview_border", L"public_element.cl_listview_tr_normal",
      L"text_color.cl_text_b",                     L"text_color.cl_text_c",
      L"text_color.cl_text_d",                     L"text_color.cl_orange_c",
  };
  return colors;
}

int Run(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err) {
  const auto is = [&](const wchar_t* command, std::size_t operands) {
    return !args.empty() && args[0] == command && args.size() == operands + 1;
  };
  if (is(L"list", 1)) return List(args[1], out, err);
  if (is(L"cat", 2)) return Cat(args[1], args[2], out, err);
  if (is(L"color", 2)) return Color(args[1], args[2], out, err);
  if (is(L"check", 1)) return Check(args[1], out, err);
  if (args.size() >= 5 && args[0] == L"render") return Render(args, out, err);
  err << kUsage;
  return kBadInput;
}

}  // namespace nudgelet::skintool
