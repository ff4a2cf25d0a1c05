#include "app/TipDetection.h"

#include "detection/UninstallSnapshot.h"
#include "detection/UpdateIcons.h"
#include "detection/UpdateMatching.h"

namespace nudgelet::app {

namespace {
detection::UpdateDatabaseSetup DatabaseSetup(const TipDetection::Setup& s) {
  return {s.platform.files, s.platform.libraries, s.crypto, s.sqliteLibrary, s.tempFolder};
}
}  // namespace

TipDetection::TipDetection(Setup setup)
    : setup_(std::move(setup)), appFrame_(setup_.platform), database_(DatabaseSetup(setup_)) {}

TipDetection::~TipDetection() { Release(); }

bool TipDetection::ProbeDatabase(const std::wstring& path) { return database_.ProbeDatabase(path); }

bool TipDetection::Run(TFrame_SoftUpdata& frame, const std::wstring& databasePath) {
  try {
    database_.AcquireDatabase(databasePath);
    acquired_ = true;
  } catch (const std::exception&) {
    return false;
  }
  // A deciphered copy that is no database would answer every question with
  // nothing, which reads as "no updates": a damaged database is no database.
  if (!database_.ReadFailure().empty()) return false;
  inventory_ = std::make_unique<detection::TSoftwareInfo>(setup_.platform, setup_.crypto,
                                                          setup_.userDataFolder + L"SoftwareCache.ini",
                                                          setup_.tempFolder + detection::kUninstallSnapshotFile);
  const detection::TIgnoreList ignore(setup_.platform.files, setup_.userDataFolder + L"Main.ini");
  detection::TUpdateCatalogue catalogue(database_, true);
  detection::TUpdateMatcher matcher(detection::MatchContext{setup_.platform, catalogue, ignore, appFrame_});
  const detection::IconContext icons{setup_.icons, setup_.platform.files, setup_.platform.system,
                                     setup_.executablePath, setup_.defaultIcon};
  frame.Fill(matcher, *inventory_, icons);
  return true;
}

void TipDetection::Release() {
  inventory_.reset();
  if (acquired_) database_.ReleaseDatabase();
  acquired_ = false;
}

}  // namespace nudgelet::app
