#include "SkinTool.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "base/Numbers.h"
#include "base/Strings.h"
#include "skin/InProcessSource.h"
#include "skin/PackageStore.h"
#include "skin/RdgImage.h"
#include "uipack/ResourcePackage.h"

#if defined(_WIN32)
#include "platform/win32/SystemPlatform.h"
#include "skin/win32/SystemColors.h"
#else
#include "platform/posix/PosixFileSystem.h"
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
    "       nudgelet-skin render SKINFOLDER DESCRIPTOR WIDTH HEIGHT OUTPUT.png\n"
    "         (DESCRIPTOR: its lines joined by newlines or by the two characters \\n)\n";

std::string U8(const std::wstring& text) { return WideToUtf8(text); }

// Skins on disk, as the program finds them beside itself.
const platform::FileSystem& Disk() {
#if defined(_WIN32)
  return platform::win32::SystemPlatform().files;
#else
  static const platform::posix::PosixFileSystem files;
  return files;
#endif
}

std::optional<uipack::ResourcePackage> OpenPackage(const std::wstring& path, std::ostream& err) {
  const uipack::PackageLimits limits;
  auto read = Disk().ReadFile(path, limits.maxPackageBytes);
  if (read.error != 0) {
    err << "nudgelet-skin: cannot read " << U8(path) << "\n";
    return std::nullopt;
  }
  try {
    return uipack::ResourcePackage::Open(std::move(read.bytes), limits);
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
  explicit Skin(const std::wstring& folder) : source_(Disk()), store_(source_, Disk(), folder) {
#if defined(_WIN32)
    skin::win32::UseSystemColors(store_.Colors());
#endif
  }

  bool Open(std::ostream& err) {
    const std::wstring folder = store_.SkinPath();
    if (!Disk().DirectoryExists(folder)) {
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
  skin::InProcessSource source_;
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

// A side of the drawing: 1 to 8192 pixels.
std::optional<int> ParseSide(const std::wstring& text) {
  const auto value = ParseDigits(text, 10, 8192);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<int>(*value);
}

// The descriptor as one argument: lines joined by newlines, or by "\n"
// written out, which is what a shell passes when nobody expands it.
std::vector<std::wstring> DescriptorLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool escaped = text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n';
    if (text[i] == L'\n' || escaped) {
      lines.push_back(line);
      line.clear();
      if (escaped) ++i;
    } else if (text[i] != L'\r') {
      line += text[i];
    }
  }
  lines.push_back(line);
  std::erase_if(lines, [](const std::wstring& l) { return TrimView(l).empty(); });
  return lines;
}

int Render(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err) {
  const std::wstring& folder = args[1];
  const std::vector<std::wstring> descriptor = DescriptorLines(args[2]);
  const auto width = ParseSide(args[3]);
  const auto height = ParseSide(args[4]);
  const std::wstring& output = args[5];
  if (!width || !height) {
    err << "nudgelet-skin: WIDTH and HEIGHT must be whole numbers from 1 to 8192: " << U8(args[3]) << ' ' << U8(args[4])
        << "\n";
    return kBadInput;
  }
  Skin skin(folder);
  if (!skin.Open(err)) return kBadInput;
  skin::TRdgImage picture(skin.Store());
  picture.SetValues(descriptor);
  skin::Bitmap bitmap(*width, *height);
  picture.Draw(bitmap, {0, 0, *width, *height});
  const auto png = skin::EncodePng(bitmap);
  std::ofstream file(std::filesystem::path(
#if defined(_WIN32)
                         output
#else
                         U8(output)
#endif
                         ),
                     std::ios::binary);
  if (!file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()))) {
    err << "nudgelet-skin: cannot write " << U8(output) << "\n";
    return kBadInput;
  }
  out << U8(picture.ImgName()) << ' ' << picture.Width() << 'x' << picture.Height() << " drawn into " << *width << 'x'
      << *height << '\n';
  if (picture.Width() == 0) {
    err << "nudgelet-skin: the descriptor names no picture of the skin\n";
    return kMissing;
  }
  return kDone;
}

}  // namespace

const std::vector<std::wstring>& FormPictures() {
  static const std::vector<std::wstring> pictures = {
      L"images/btn_close_normal.png",      L"images/btn_close_press.png",    L"images/btn_close_over.png",
      L"images/btn_colours_normal.png",    L"images/btn_colours_press.png",  L"images/btn_colours_over.png",
      L"images/btn_colours_disabled.png",  L"images/img_window_update.png",  L"images/bg_shadow_top.png",
      L"images/bg_shadow_topleft.png",     L"images/bg_shadow_topright.png", L"images/bg_shadow_left.png",
      L"images/bg_shadow_right.png",       L"images/bg_shadow_bottom.png",   L"images/bg_shadow_bottomleft.png",
      L"images/bg_shadow_bottomright.png", L"images/scroll_bg.png",          L"images/scrollbar_normal.png",
      L"images/scrollbar_over.png",
  };
  return pictures;
}

const std::vector<std::wstring>& FormColors() {
  static const std::vector<std::wstring> colors = {
      L"public_element.cl_window_bg_border",
      L"public_element.cl_window_content_bg",
      L"public_element.cl_window_listview_border",
      L"public_element.cl_listview_tr_normal",
      L"text_color.cl_text_b",
      L"text_color.cl_text_c",
      L"text_color.cl_text_d",
      L"text_color.cl_orange_c",
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
  if (is(L"render", 5)) return Render(args, out, err);
  err << kUsage;
  return kBadInput;
}

}  // namespace nudgelet::skintool
