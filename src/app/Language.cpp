#include "app/Language.h"

namespace nudgelet::app {

TLanguage::TLanguage(const platform::FileSystem& files, std::wstring prefix, std::wstring languageFolder)
    : files_(files), prefix_(std::move(prefix)), languageFolder_(std::move(languageFolder)), file_(files) {}

void TLanguage::LoadLanguage(const std::wstring& name) {
  std::wstring chosen = name;
  if (!files_.FileExists(languageFolder_ + L"\\" + chosen + L".lng")) chosen = L"English";
  const std::wstring path = languageFolder_ + L"\\" + chosen + L".lng";
  if (!files_.FileExists(path)) return;
  languageName_ = chosen;
  displayName_.clear();
  file_.LoadFromFile(path);
  displayName_ = file_.ReadString(L"Main", L"DisplayName", chosen);
  strings_.clear();
  loadedSections_ = prefix_ + L"_M";
  AddLines(loadedSections_);
}

void TLanguage::AddLines(const std::wstring& section) {
  for (const auto& line : file_.ReadSectionValues(section)) {
    const auto eq = line.find(L'=');
    if (eq == std::wstring::npos) continue;
    // The section loaded first wins, and within a section the first line.
    strings_.emplace(line.substr(0, eq), line.substr(eq + 1));
  }
}

bool TLanguage::IsSectionLoaded(const std::wstring& section) const {
  // Whole names only: "Combox_M" is not loaded because "SoftCombox_M" is.
  std::size_t start = 0;
  while (start <= loadedSections_.size()) {
    std::size_t end = loadedSections_.find(L'|', start);
    if (end == std::wstring::npos) end = loadedSections_.size();
    if (EqualsIgnoreCase(std::wstring_view(loadedSections_).substr(start, end - start), section)) return true;
    start = end + 1;
  }
  return false;
}

void TLanguage::LoadSection(const std::wstring& name) {
  const std::wstring section = name + L"_M";
  if (!IsLoaded() || IsSectionLoaded(section)) return;
  AddLines(section);
  loadedSections_ += L"|" + section;
}

std::wstring TLanguage::GetText(const std::wstring& key, const std::wstring& defaultText) const {
  auto it = strings_.find(key);
  return it == strings_.end() ? defaultText : it->second;
}

void TLanguage::LoadPublicStrings() {
  LoadSection(L"Public");
  PublicCaptions& c = Captions();
  const PublicCaptions defaults;
  c.size = GetText(L"LB_Size", defaults.size);
  c.cancel = GetText(L"Btn_Cancel", defaults.cancel);
  c.close = GetText(L"BtnClose", defaults.close);
  c.install = GetText(L"BtnInstall", defaults.install);
  c.yes = GetText(L"BtnYes", defaults.yes);
  c.no = GetText(L"BtnNo", defaults.no);
  c.finish = GetText(L"Btn_Finish", defaults.finish);
  c.download = GetText(L"Btn_Download", defaults.download);
  c.minimize = GetText(L"WindowMin", defaults.minimize);
  c.maximize = GetText(L"WindowMax", defaults.maximize);
  c.succeeded = GetText(L"M_Suc", defaults.succeeded);
  c.failed = GetText(L"M_Fail", defaults.failed);
  c.installing = GetText(L"M_Installing", defaults.installing);
  c.ok = GetText(L"Btn_OK", defaults.ok);
  c.name = GetText(L"MName", defaults.name);
  c.operation = GetText(L"M_Operation", defaults.operation);
}

std::wstring GetLanguageName(const TCustomIniFile& mainIni) {
  return mainIni.ReadString(L"Main", L"Language", L"English");
}

PublicCaptions& Captions() {
  static PublicCaptions captions;
  return captions;
}

namespace {
TLanguage* g_language = nullptr;
}

TLanguage* Language() { return g_language; }
void SetLanguage(TLanguage* language) { g_language = language; }

std::wstring GetText(const std::wstring& key, const std::wstring& defaultText) {
  return g_language ? g_language->GetText(key, defaultText) : defaultText;
}

}  // namespace nudgelet::app
