// nudgelet-inspect: runs the whole update detection of a machine and prints it
// as JSON: the installed programs, the update candidates and the rows the
// reminder would list. The Windows build reads the live registry; the native
// build reads .reg files and a folder standing for the drives.
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/Paths.h"
#include "base/Strings.h"
#include "detection/DetectionReport.h"
#include "detection/IgnoreList.h"
#include "detection/SQLiteErrors.h"
#include "detection/SoftwareInfo.h"
#include "detection/SqliteObj.h"
#include "detection/UpdateCatalogue.h"
#include "detection/UpdateDatabase.h"
#include "detection/UpdateDatabaseQueries.h"
#include "detection/UpdateIcons.h"
#include "detection/UpdateList.h"
#include "detection/UpdateMatching.h"
#include "platform/AppFrame.h"
#include "platform/Crypto.h"
#include "settings/TextFile.h"
#include "settings/UserDataFolder.h"

#if defined(_WIN32)
#include "platform/win32/ShellFileIcons.h"
#include "platform/win32/SystemPlatform.h"
#else
#include "InspectionMachine.h"
#endif

namespace nudgelet::inspect {
namespace {

using namespace detection;

constexpr int kBadInput = 2;

struct Options {
  std::wstring database;
  std::wstring sqlite;
  std::wstring userData;
  bool explain = false;
  bool literal = false;
#if !defined(_WIN32)
  MachineOptions machine;
#endif
};

[[noreturn]] void Fail(const std::string& message) {
  std::cerr << "nudgelet-inspect: " << message << "\n";
  std::exit(kBadInput);
}

void Usage() {
  std::cerr << "usage: nudgelet-inspect [--database FILE] [--sqlite LIB] [--user-data DIR] [--explain] [--literal]"
#if !defined(_WIN32)
               " [--registry FILE.reg]... [--root DIR] [--os MAJOR.MINOR] [--64bit-windows yes|no]"
#endif
               "\n";
}

std::wstring Arg(const std::vector<std::wstring>& args, std::size_t& i) {
  if (i + 1 >= args.size()) Fail("option " + WideToUtf8(args[i]) + " needs a value");
  return args[++i];
}

Options ParseOptions(const std::vector<std::wstring>& args) {
  Options o;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string a = WideToUtf8(args[i]);
    if (a == "--database") o.database = Arg(args, i);
    else if (a == "--sqlite") o.sqlite = Arg(args, i);
    else if (a == "--user-data") o.userData = Arg(args, i);
    else if (a == "--explain") o.explain = true;
    else if (a == "--literal") o.literal = true;
#if !defined(_WIN32)
    else if (a == "--registry") o.machine.registryFiles.push_back(WideToUtf8(Arg(args, i)));
    else if (a == "--root") o.machine.root = Arg(args, i);
    else if (a == "--os") o.machine.version = Arg(args, i);
    else if (a == "--64bit-windows") o.machine.is64Bit = Arg(args, i);
#endif
    else if (a == "--help" || a == "-h") {
      Usage();
      std::exit(0);
    } else {
      Usage();
      Fail("unknown argument " + a);
    }
  }
  return o;
}

std::wstring IncludeSeparator(const std::wstring& folder) {
  if (!folder.empty() && IsPathSeparator(folder.back())) return folder;
#if defined(_WIN32)
  return folder + L"\\";
#else
  return folder + L"/";
#endif
}

#if !defined(_WIN32)
// Natively there is no shell to draw files' icons; the report holds none anyway.
class NoFileIcons final : public platform::FileIconSource {
 public:
  std::optional<Bitmap> FileIcon(const std::wstring&, int) const override { return std::nullopt; }
};
#endif

// Where the database layer finds what it needs on the machine the tool runs on.
struct Host {
  const platform::FileSystem& files;
  const platform::DynamicLibraries& libraries;
  const platform::FileIconSource& icons;
  std::wstring tempFolder;
  std::wstring defaultSqlite;
  std::function<std::wstring(const std::wstring&)> path;  // a path of the inspected machine, on this one
};

int Run(const Options& o, const platform::Platform& p, const Host& host) {
  const platform::Crypto& crypto = platform::SystemCrypto();
  const platform::TAppFrame frame(p);
  const std::wstring userData = o.userData.empty() ? GetUserDataFolder(p) : IncludeSeparator(o.userData);
  const std::wstring database =
      o.database.empty() ? host.path(EncipheredDatabasePath(frame.ProgramFolder())) : o.database;

  UpdateDatabaseSetup setup{host.files, host.libraries, crypto, o.sqlite.empty() ? host.defaultSqlite : o.sqlite,
                            host.tempFolder};
  TUpdateDatabase db(setup);
  if (!host.files.FileExists(database)) Fail("no update database at " + WideToUtf8(database));
  if (!db.ProbeDatabase(database)) Fail("SQLite cannot open " + WideToUtf8(database));
  try {
    db.AcquireDatabase(database);
  } catch (const std::exception& error) {
    Fail(error.what());
  }
  // An answer from a database that cannot be read would look like "no updates".
  if (const std::wstring failure = db.ReadFailure(); !failure.empty()) {
    Fail(WideToUtf8(sqlite_text::FailedToOpen(database, WideToUtf8(failure).c_str())));
  }

  TSoftwareInfo inventory(p, crypto, userData + L"SoftwareCache.ini");
  const TIgnoreList ignore(p.files, userData + L"Main.ini");
  // The statements as written, or the catalogue the program asks: both must
  // give the same report.
  std::unique_ptr<UpdateQueries> queries;
  if (o.literal) queries = std::make_unique<TUpdateDatabaseQueries>(db);
  else queries = std::make_unique<TUpdateCatalogue>(db);
  TUpdateMatcher matcher(MatchContext{p, *queries, ignore, frame});
  matcher.MatchInstalledPrograms(inventory);

  // As the program goes on: the icons first, which give a database icon its
  // file (the program's own), then the rows, which look for that file.
  std::vector<TSoftViewInfo> candidates = matcher.Candidates();
  const IconContext icons{host.icons, matcher.Files(), p.system, frame.ProgramFolder() + L"Nudgelet.exe",
                          Bitmap(32, 32)};
  LoadIcons(candidates, icons);
  InMemoryUpdateList list;
  TUpdateListModel model;
  model.FillList(candidates, matcher.HasCandidateList(), list, matcher.Files(), {});
  DetectionReport report{inventory.Records(), candidates, {}, o.explain ? &matcher.Traces() : nullptr};
  for (const auto& item : list.items) report.rows.push_back(item.data.get());
  SortRowsByCaption(report.rows);
  std::cout << RenderDetectionJson(report);
  db.ReleaseDatabase();
  return 0;
}

}  // namespace
}  // namespace nudgelet::inspect

namespace {

int Main(const std::vector<std::wstring>& args) {
  using namespace nudgelet;
  const inspect::Options options = inspect::ParseOptions(args);
  try {
#if defined(_WIN32)
    const auto& p = platform::win32::SystemPlatform();
    const platform::win32::ShellFileIcons icons;
    const inspect::Host host{p.files,
                             p.libraries,
                             icons,
                             p.folders.TempPath(),
                             ExtractFilePath(p.folders.ExecutablePath()) + L"sqlite3.dll",
                             [](const std::wstring& path) { return path; }};
    return inspect::Run(options, p, host);
#else
    inspect::InspectionMachine machine(options.machine);
    const inspect::NoFileIcons icons;
    const inspect::Host host{machine.HostFiles(),
                             machine.HostLibraries(),
                             icons,
                             machine.TempFolder(),
                             L"libsqlite3.so.0",
                             [&machine](const std::wstring& path) { return machine.HostPath(path); }};
    return inspect::Run(options, machine.Platform(), host);
#endif
  } catch (const std::exception& error) {
    inspect::Fail(error.what());
  }
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) { return Main(std::vector<std::wstring>(argv, argv + argc)); }
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 0; i < argc; ++i) args.push_back(nudgelet::Utf8ToWide(argv[i]));
  return Main(args);
}
#endif
