// libFuzzer target for language files: anyone can drop a .lng file into the
// program's folder. Two files come from one input (German, then English, cut at
// "\n==LNG==\n"); whatever they hold, loading, falling back, adding sections
// and looking texts up must work, every key a loaded section defines must be
// found, and a section is merged once however its name is spelt.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/Language.h"
#include "settings/ExtIniFile.h"
#include "support/FakePlatform.h"

namespace {

using nudgelet::fuzz::Check;

const std::wstring kFolder = L"C:\\Program Files (x86)\\Corvane\\Patchwell Hub\\Language";

std::vector<std::wstring> LoadedSections(const nudgelet::app::TLanguage& language) {
  std::vector<std::wstring> names;
  const std::wstring& all = language.LoadedSections();
  std::size_t start = 0;
  for (;;) {
    const auto bar = all.find(L'|', start);
    names.push_back(all.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
    if (bar == std::wstring::npos) return names;
    start = bar + 1;
  }
}

void CheckLoaded(const nudgelet::app::TLanguage& language, const nudgelet::platform::FileSystem& files) {
  if (!language.IsLoaded()) return;
  nudgelet::TExtIniFile file(files, kFolder + L"\\" + language.LanguageName() + L".lng");
  Check(language.DisplayName() == file.ReadString(L"Main", L"DisplayName", language.LanguageName()));
  std::set<std::wstring, nudgelet::LessIgnoreCase> seen;
  for (const auto& section : LoadedSections(language)) {
    Check(seen.insert(section).second);
    for (const auto& line : file.ReadSectionValues(section)) {
      const auto eq = line.find(L'=');
      // Values are trimmed, so none can be the control character asked for as default.
      if (eq != std::wstring::npos) Check(language.GetText(line.substr(0, eq), L"\x1") != L"\x1");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using nudgelet::app::TLanguage;
  const auto parts = nudgelet::fuzz::SplitInput(data, size, "\n==LNG==\n");
  nudgelet::testing::InMemoryFileSystem files;
  files.AddFile(kFolder + L"\\German.lng", parts[0]);
  if (parts.size() > 1) files.AddFile(kFolder + L"\\English.lng", parts[1]);

  TLanguage language(files, L"NDG", kFolder);
  language.LoadLanguage(L"German");
  Check(language.LanguageName() == L"German");
  language.LoadSection(L"SoftCombox");
  language.LoadSection(L"SOFTCOMBOX");
  language.LoadSection(L"Combox");
  language.LoadPublicStrings();
  language.LoadSection(L"public");
  CheckLoaded(language, files);

  // A language that is missing falls back to English, or to the built-in texts.
  TLanguage fallback(files, L"NDG", kFolder);
  fallback.LoadLanguage(L"Klingon");
  Check(fallback.IsLoaded() == (parts.size() > 1));
  Check(fallback.GetText(L"\x1", L"built-in") == L"built-in");
  fallback.LoadSection(L"SoftUpdata");
  CheckLoaded(fallback, files);
  return 0;
}
