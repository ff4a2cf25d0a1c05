// libFuzzer target for the settings files: Main.ini is the user's to edit and
// damage, in any encoding. Reading any bytes either gives sections or refuses
// the file; a refused file is never written back; and whatever was read, saved
// and read again, gives the same sections, keys and values, numbers and dates.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/FileSystem.h"
#include "settings/ExtIniFile.h"
#include "settings/SafeIniFile.h"
#include "settings/TextFile.h"
#include "support/FakePlatform.h"

namespace {

using nudgelet::TCustomIniFile;
using nudgelet::TSafeIniFile;
using nudgelet::fuzz::Check;

const std::wstring kMainIni = L"C:\\Users\\tester\\AppData\\Roaming\\Corvane\\Patchwell Hub\\Main.ini";

// Everything a reader can learn from an ini file, in its order.
struct Snapshot {
  std::vector<std::wstring> sections;
  std::map<std::wstring, std::vector<std::wstring>> lines;
  std::map<std::wstring, std::vector<std::pair<std::wstring, std::wstring>>> values;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const TCustomIniFile& ini) {
  Snapshot s;
  s.sections = ini.ReadSections();
  for (const auto& section : s.sections) {
    s.lines[section] = ini.ReadSectionValues(section);
    for (const auto& key : ini.ReadSection(section))
      s.values[section].emplace_back(key, ini.ReadString(section, key, L"\x1"));
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nudgelet::testing::InMemoryFileSystem files;
  const std::vector<std::uint8_t> bytes(data, data + size);
  files.AddFile(kMainIni, bytes);

  const auto decoded =
      nudgelet::DecodeTextFileLines(bytes, [&](std::string_view b) { return files.DecodeSystemCodePage(b); });
  Check(decoded.error == 0 || decoded.error == nudgelet::platform::os_error::kInvalidData);

  Snapshot written;
  {
    TSafeIniFile ini(files, kMainIni);
    Check(ini.LoadFailed() == (decoded.error != 0));
    if (ini.LoadFailed()) {
      Check(ini.ReadSections().empty());
      ini.WriteString(L"Log", L"ERROR", L"1");
    } else {
      // Numbers and dates of every value survive being written back.
      for (const auto& section : ini.ReadSections()) {
        for (const auto& key : ini.ReadSection(section)) {
          const std::int32_t number = ini.ReadInteger(section, key, 0);
          const nudgelet::TDateTime date = ini.ReadDateTime(section, key, -1);
          nudgelet::TExtIniFile copy(files);
          copy.WriteInteger(L"n", L"n", number);
          Check(copy.ReadInteger(L"n", L"n", number == 0 ? 1 : 0) == number);
          if (date != -1) {
            copy.WriteDateTime(L"d", L"d", date);
            Check(copy.ReadDateTime(L"d", L"d", -1) == date);
          }
        }
      }
      ini.WriteString(L"Log", L"ERROR", L"1");
      written = Take(ini);
    }
  }
  if (decoded.error != 0) {
    Check(files.Bytes(kMainIni) == bytes);
    return 0;
  }
  const auto saved = files.Bytes(kMainIni);
  Check(saved.size() >= 2 && saved[0] == 0xFF && saved[1] == 0xFE);
  TSafeIniFile again(files, kMainIni);
  Check(!again.LoadFailed());
  Check(Take(again) == written);
  return 0;
}
