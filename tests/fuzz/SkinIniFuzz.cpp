// libFuzzer target for the ini files of skins, read as the skin engine reads
// them: one input stands for the packages' ini files (public main.ini, the
// skin's main.ini, its color_setting.ini, and one more ini of each package,
// cut at "\n==INI==\n"), served with one small picture for every PNG they name.
// Whatever they say, the store builds its tables; every section of a merged
// file is found under its class, whatever parent links it has; colours and
// named pictures resolve and draw; and a picture descriptor's stored lines,
// applied again, store the same lines.
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"
#include "settings/IniSections.h"
#include "skin/PackageStore.h"
#include "skin/PropertyPath.h"
#include "skin/RdgImage.h"
#include "support/FakePlatform.h"

namespace {

using namespace nudgelet;
using namespace nudgelet::skin;
using nudgelet::fuzz::Check;

const wchar_t* const kFiles[] = {L":/public/main.ini", L":/classic/main.ini", L":/classic/color_setting.ini",
                                 L":/classic/more.ini", L":/public/more.ini"};

class FuzzSource final : public ResourceSource {
 public:
  explicit FuzzSource(std::map<std::wstring, std::vector<std::uint8_t>> files) : files_(std::move(files)) {}

  bool Load() override { return true; }
  void Register(const std::wstring&) override {}
  void Unregister(const std::wstring&) override {}
  std::optional<std::vector<std::uint8_t>> Read(const std::wstring& name) override {
    if (auto it = files_.find(name); it != files_.end()) return it->second;
    if (name.size() > 4 && EqualsIgnoreCase(std::wstring_view(name).substr(name.size() - 4), L".png")) return Png();
    return std::nullopt;
  }
  std::optional<FolderListing> List(const std::wstring& folder) override {
    FolderListing listing;
    for (const auto& [name, bytes] : files_) {
      if (name.rfind(folder, 0) == 0) listing.files.push_back(name.substr(folder.size()));
    }
    return listing;
  }

 private:
  static const std::vector<std::uint8_t>& Png() {
    static const std::vector<std::uint8_t> png = [] {
      Bitmap bitmap(12, 10);
      for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) bitmap.At(x, y) = (x + y) % 3 ? 0xFF336699u : 0x80402010u;
      }
      return EncodePng(bitmap);
    }();
    return png;
  }

  std::map<std::wstring, std::vector<std::uint8_t>> files_;
};

IniSections Parse(const std::vector<std::uint8_t>& bytes) {
  return IniSections::Parse(SplitLines(DecodeText(bytes).text));
}

void CheckDescriptor(PackageStore& store, const std::vector<std::wstring>& lines) {
  TRdgImage image(store);
  image.SetValues(lines);
  Bitmap canvas(24, 16);
  image.Draw(canvas, {-3, 2, 21, 20});
  image.Width();
  const auto stored = image.ToLines();
  TRdgImage again(store);
  again.SetValues(stored);
  again.Width();
  const auto restored = again.ToLines();
  if (restored != stored) {
    // What differs, for whoever reads the finding.
    for (const auto* list : {&lines, &stored, &restored}) {
      std::fprintf(stderr, "---\n");
      for (const auto& line : *list) std::fprintf(stderr, "%s\n", WideToUtf8(line).c_str());
    }
  }
  Check(restored == stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::SplitInput(data, size, "\n==INI==\n");
  std::map<std::wstring, std::vector<std::uint8_t>> files;
  for (std::size_t i = 0; i < parts.size() && i < std::size(kFiles); ++i) files[kFiles[i]] = parts[i];

  testing::InMemoryFileSystem disk;
  FuzzSource source(files);
  PackageStore store(source, disk, L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\skin");
  store.RegisterPackage(L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\skin\\public.rcc", false);
  store.RegisterPackage(L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\skin\\classic.rcc", false);

  // Drawing is the slow part: a dozen descriptors an input show as much as all.
  int budget = 12;
  const auto descriptor = [&](const std::vector<std::wstring>& lines) {
    if (budget-- > 0) CheckDescriptor(store, lines);
  };
  // Each section's values are looked up along its parent chain, so looking
  // up every section of a long chain costs the square of its length; the
  // program looks up only the sections its forms name.
  int sections = 1024;
  for (const auto& [name, bytes] : files) {
    const IniSections ini = Parse(bytes);
    for (const auto& section : ini.SectionNames()) {
      if (sections-- <= 0) break;
      const std::wstring cls = ini.Value(section, L"class").value_or(L"");
      const auto lines = store.SectionValues(cls, section);
      Check(lines.has_value());
      store.SectionValue(cls, section, L"parent");
      if (EqualsIgnoreCase(cls, L"color")) {
        for (const auto& key : ini.KeyNames(section)) {
          const Color color = store.Colors().IdentToColor(section + L"." + key);
          store.Colors().ColorToRGB(color);
          store.Colors().ColorToIdent(color);
        }
      }
      if (EqualsIgnoreCase(cls, L"image")) {
        const auto named = store.NamedPicture(L"[" + section + L"]");
        Check(named.has_value());
        descriptor({L"imgname=[" + section + L"]"});
      }
      // Picture properties carry their descriptor as a list of strings.
      for (const auto& line : *lines) {
        if (budget <= 0) break;
        const auto eq = line.find(L'=');
        if (eq == std::wstring::npos) continue;
        SkinValue value;
        try {
          value = ReadSkinValue(std::wstring_view(line).substr(eq + 1));
        } catch (const EPropertyValueError&) {
          continue;  // reported to the skin's author, and nothing is set
        }
        if (!value.form || value.form->kind != FormValue::Kind::List) continue;
        std::vector<std::wstring> items;
        for (const auto& item : value.form->items) items.push_back(item.text);
        descriptor(items);
      }
    }
  }
  return 0;
}
