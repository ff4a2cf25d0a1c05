#pragma once
// From the inventory to update candidates: each visible installed program is
// looked up in the update database, filtered, and compared with the newest
// version the database knows.

#include <memory>
#include <string>
#include <vector>

#include "detection/IgnoreList.h"
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

class TUpdateMatcher {
 public:
  explicit TUpdateMatcher(MatchContext context) : c_(context) {}

  // Walks the inventory (completing install folders and telling the two Chrome
  // installations apart in it), evaluates every program, then drops the older
  // installations of one product and edition.
  void MatchInstalledPrograms(TSoftwareInfo& inventory);

  // Adds at most one candidate; answers the trace of the decision.
  MatchTrace EvaluateCandidate(const std::wstring& displayName, const std::wstring& displayIcon, int iconIndex,
                               const std::wstring& publisher, const std::wstring& installedVersion,
                               const std::wstring& keyPath, int bit, int lanId, const std::wstring& installLocation);

  const std::vector<TSoftViewInfo>& Candidates() const { return candidates_; }
  // True once an installed program got a database key and passed the main-executable check.
  bool HasCandidateList() const { return candidateListMade_; }
  // One trace per inventory record, by its index; empty for records that were skipped.
  const std::vector<MatchTrace>& Traces() const { return traces_; }

 private:
  void DropSupersededInstallations();

  MatchContext c_;
  std::vector<TSoftViewInfo> candidates_;
  bool candidateListMade_ = false;
  std::vector<MatchTrace> traces_;
};

}  // namespace nudgelet::detection
