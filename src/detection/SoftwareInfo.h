#pragma once
// The inventory: every program installed on the machine, once per run.

#include <memory>
#include <string>
#include <vector>

#include "detection/RedirectedFiles.h"
#include "detection/SoftInfo.h"
#include "platform/AppFrame.h"
#include "platform/Crypto.h"
#include "platform/Platform.h"

namespace nudgelet::detection {

class TSoftwareInfo {
 public:
  // Scans the uninstall registry (the program's own view, then on 64-bit Windows
  // the 64-bit view), folds duplicates, then completes the records from the
  // product's cache file when it exists. With a snapshot path, keys unchanged
  // since the last scan are answered from the snapshot there, and the file is
  // brought up to date (see SnapshotRegistry); without one every key is read.
  TSoftwareInfo(const platform::Platform& p, const platform::Crypto& crypto, std::wstring cachePath,
                const std::wstring& snapshotPath = {});
  TSoftwareInfo(const TSoftwareInfo&) = delete;
  TSoftwareInfo& operator=(const TSoftwareInfo&) = delete;

  // In index order; consumers skip Hidden records.
  const std::vector<TSoftInfo>& Records() const { return records_; }
  std::vector<TSoftInfo>& Records() { return records_; }
  const std::wstring& CachePath() const { return cachePath_; }

 private:
  void ScanPass(const platform::Registry& registry, bool use64View);
  void ScanEntry(const std::wstring& rootName, const std::wstring& keyPath, const platform::RegistryKey& key,
                 bool use64View);
  void FoldDuplicates();
  void ReadCache();

  TRedirectedFiles files_;  // install folders are looked for as the 32-bit program saw them
  platform::Platform p_;
  const platform::Crypto& crypto_;
  platform::TAppFrame frame_;
  std::wstring cachePath_;
  std::vector<TSoftInfo> records_;
  std::int32_t nextIndex_ = 0;
};

// Completes empty fields of target from source.
void MergeSoftInfo(TSoftInfo& target, const TSoftInfo& source);

// "20120131" read as 31 January 2012; nullopt when the text is no date.
std::optional<TDateTime> ParseRegistryInstallDate(const std::wstring& text);

}  // namespace nudgelet::detection
