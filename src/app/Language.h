#pragma once
// Translated texts. Every visible text has a built-in English default that the
// caller passes with its key; a language file from the program's "Language"
// folder can replace it.

#include <map>
#include <string>

#include "base/Strings.h"
#include "platform/FileSystem.h"
#include "settings/CustomIniFile.h"
#include "settings/ExtIniFile.h"

namespace nudgelet::app {

class TLanguage {
 public:
  // prefix names the program's own section ("<prefix>_M"); languageFolder has no trailing backslash.
  TLanguage(const platform::FileSystem& files, std::wstring prefix, std::wstring languageFolder);

  // Loads "<folder>\<name>.lng", or "English.lng" when that file is missing. When
  // not even the English file exists nothing is loaded and every text is its default.
  void LoadLanguage(const std::wstring& name);
  // Adds the texts of section "<name>_M" once; texts already known keep their value.
  void LoadSection(const std::wstring& name);
  std::wstring GetText(const std::wstring& key, const std::wstring& defaultText) const;
  // Loads the shared "Public" texts into the shared captions.
  void LoadPublicStrings();

  bool IsLoaded() const { return !languageName_.empty(); }
  const std::wstring& LanguageName() const { return languageName_; }
  const std::wstring& DisplayName() const { return displayName_; }
  // The merged sections joined by "|".
  const std::wstring& LoadedSections() const { return loadedSections_; }

 private:
  bool IsSectionLoaded(const std::wstring& section) const;
  void AddLines(const std::wstring& section);

  const platform::FileSystem& files_;
  std::wstring prefix_;
  std::wstring languageFolder_;
  std::wstring languageName_;
  std::wstring displayName_;
  TExtIniFile file_;
  std::map<std::wstring, std::wstring, LessIgnoreCase> strings_;
  std::wstring loadedSections_;
};

// [Main] "Language" of the per-user Main.ini, "English" when missing.
std::wstring GetLanguageName(const TCustomIniFile& mainIni);

// The texts every window shares, filled by LoadPublicStrings.
struct PublicCaptions {
  std::wstring size = L"Size";
  std::wstring cancel = L"Cancel";
  std::wstring close = L"Close";
  std::wstring install = L"Install";
  std::wstring yes = L"Yes";
  std::wstring no = L"No";
  std::wstring finish = L"Finish";
  std::wstring download = L"Download";
  std::wstring minimize = L"Minimize";
  std::wstring maximize = L"Maximum";
  std::wstring succeeded = L"Succeeded";
  std::wstring failed = L"Failed";
  std::wstring installing = L"Installing";
  std::wstring ok = L"OK";
  std::wstring name = L"Name";
  std::wstring operation = L"Operation";
};
PublicCaptions& Captions();

// The process's language object, set once at start-up; nullptr before.
TLanguage* Language();
void SetLanguage(TLanguage* language);
// The text for a key from the process's language, or the default.
std::wstring GetText(const std::wstring& key, const std::wstring& defaultText);

}  // namespace nudgelet::app
