#pragma once
// From the inventory to update candidates: each visible installed program is
// looked up in the update database, filtered, and compared with the newest
// version the database knows.

#include <memory>
#include <string>
#include <vector>

#include "detection/IgnoreList.h"
#include "detection/RedirectedFiles.h"
#include "detection/SoftViewInfo.h"
#include "detection/SoftwareInfo.h"
#include "detection/UpdateQueries.h"
#include "platform/Platform.h"

namespace nudgelet::detection {

// Why an installed program did or did not become a candidate, for inspection.
struct MatchTrace {
  std::wstring decision;  // "candidate", or the rule that stopped it
  std::wstring key;
  std::wstring keyStatement;
  std::wstring installedVersion;
  std::wstring newVersion;
};

struct MatchContext {
  const platform::Platform& platform;
  const UpdateQueries& database;
  const TIgnoreList& ignoreList;
  const platform::TAppFrame& frame;
};

// One installed program as matching looks it up.
struct InstalledProgram {
  std::wstring displayName;
  std::wstring displayIcon;
  int iconIndex = 0;
  std::wstring publisher;
  std::wstring installedVersion;  // the version found in DisplayVersion; may be empty
  std::wstring keyPath;           // its uninstall key
  int bit = 0;                    // 1 when it was found in the 64-bit registry view
  int lanId = 1;
  std::wstring installLocation;
};

class TUpdateMatcher {
 public:
  explicit TUpdateMatcher(MatchContext context);
  TUpdateMatcher(const TUpdateMatcher&) = delete;
  TUpdateMatcher& operator=(const TUpdateMatcher&) = delete;

  // Walks the inventory (completing install folders and telling the two Chrome
  // installations apart in it), evaluates every program, then drops the older
  // installations of one product and edition.
  void MatchInstalledPrograms(TSoftwareInfo& inventory);

  // Adds at most one candidate; answers the trace of the decision.
  MatchTrace EvaluateCandidate(const InstalledProgram& program);

  const std::vector<TSoftViewInfo>& Candidates() const { return candidates_; }
  // True once an installed program got a database key and passed the main-executable check.
  bool HasCandidateList() const { return candidateListMade_; }
  // One trace per inventory record, by its index; empty for records that were skipped.
  const std::vector<MatchTrace>& Traces() const { return traces_; }
  // The files as matching found them; the icons and rows of its candidates are
  // looked for through the same view.
  const platform::FileSystem& Files() const { return files_; }

 private:
  // The product key, or "" when the database knows none.
  std::wstring FindProductKey(const InstalledProgram& program, MatchTrace& trace) const;
  struct ExecutableCheck {
    std::wstring path;  // the last path tried; "" when there was nothing to check
    bool missing = false;
  };
  // The main executable must be where the database says, when both it and the
  // install folder are known.
  ExecutableCheck CheckMainExecutable(const std::wstring& key, const std::wstring& installLocation) const;
  // The record with the database's newest version of the edition and, when it
  // is newer than the installed one, its downloads.
  TSoftViewInfo MakeRecord(const InstalledProgram& program, const std::wstring& key, const std::wstring& mainExePath,
                           MatchTrace& trace) const;
  // The filter that drops the record, or "" when it stays.
  std::wstring Rejection(const TSoftViewInfo& record, const std::wstring& keyPath) const;
  void DropSupersededInstallations();

  MatchContext c_;
  TRedirectedFiles files_;
  platform::Platform p_;  // the context's platform with files_
  std::vector<TSoftViewInfo> candidates_;
  bool candidateListMade_ = false;
  std::vector<MatchTrace> traces_;
};

}  // namespace nudgelet::detection
