#include "app/BugReportFile.h"

#include "base/Paths.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"

namespace nudgelet::app {
namespace {

// True when the block went on top of the file.
bool PrependInFolder(const platform::FileSystem& files, const std::wstring& path, const std::wstring& block) {
  std::vector<std::uint8_t> existing;
  if (files.Exists(path)) {
    platform::FileReadResult read = files.ReadFile(path, kMaxBugReportBytes);
    if (read.error != 0) return false;
    existing = std::move(read.bytes);
  }
  return files.WriteFileAtomically(path, PrependToBugReport(existing, block, files)) == 0;
}

}  // namespace

std::wstring BugReportBlock(const std::wstring& version, const std::wstring& report) {
  std::wstring label = L"Main_Version";
  label.resize(18, L' ');
  return label + L": " + version + L"\r\n" + report + L"\r\n" + std::wstring(75, L'=') + L"\r\n";
}

std::vector<std::uint8_t> PrependToBugReport(const std::vector<std::uint8_t>& existing, const std::wstring& block,
                                             const platform::FileSystem& files) {
  const DecodedText earlier = DecodeText(existing, [&files](std::string_view bytes) {
    return IsValidUtf8(bytes) ? Utf8ToWide(bytes) : files.DecodeSystemCodePage(bytes);
  });
  const std::string text = "\xEF\xBB\xBF" + WideToUtf8(block + earlier.text);
  return {text.begin(), text.end()};
}

std::wstring WriteBugReport(const platform::FileSystem& files, const std::wstring& programFolder,
                            const std::wstring& fallbackFolder, const std::wstring& version,
                            const std::wstring& report) {
  const std::wstring block = BugReportBlock(version, report);
  const std::wstring inProgramFolder = IncludeTrailingBackslash(programFolder) + kBugReportFileName;
  if (PrependInFolder(files, inProgramFolder, block)) return inProgramFolder;
  const std::wstring inFallback = IncludeTrailingBackslash(fallbackFolder) + kBugReportFileName;
  PrependInFolder(files, inFallback, block);
  return inFallback;
}

}  // namespace nudgelet::app
