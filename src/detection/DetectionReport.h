#pragma once
// The whole detection of one run as JSON, for inspection tools and tests:
// {"inventory": [...], "candidates": [...], "rows": [...]}.

#include <string>
#include <vector>

#include "detection/SoftwareInfo.h"
#include "detection/UpdateList.h"
#include "detection/UpdateMatching.h"

namespace nudgelet::detection {

struct DetectionReport {
  const std::vector<TSoftInfo>& inventory;
  const std::vector<TSoftViewInfo>& candidates;
  std::vector<const TViewdata*> rows;                     // in the list's order
  const std::vector<MatchTrace>* explanations = nullptr;  // one per inventory record, when asked for
};

// Date-times are days since 1899-12-30 as numbers; every field under its own name.
std::string RenderDetectionJson(const DetectionReport& report);

// The frame's order of rows: captions compared without regard to case, A to Z.
void SortRowsByCaption(std::vector<const TViewdata*>& rows);

}  // namespace nudgelet::detection
