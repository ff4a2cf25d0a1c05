// The whole detection of a generated machine: 400 uninstall entries against an
// update database of 20,000 products, with the statements as they are, once
// over a database without indexes and once over one with an index on Key.
// The database is deciphered once beforehand; what is timed is the inventory
// scan, matching every program and filling the list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "DbTool.h"
#include "InspectionMachine.h"
#include "platform/AppFrame.h"
#include "base/Strings.h"
#include "detection/IgnoreList.h"
#include "detection/SoftwareInfo.h"
#include "detection/UpdateDatabase.h"
#include "detection/UpdateDatabaseQueries.h"
#include "detection/UpdateList.h"
#include "detection/UpdateMatching.h"
#include "platform/Crypto.h"

namespace {

namespace fs = std::filesystem;
using namespace nudgelet;

constexpr int kEntries = 400;
constexpr int kProducts = 20000;

const fs::path kFolder = fs::temp_directory_path() / ("nudgelet-detect-bench-" + std::to_string(::getpid()));

std::string DatabaseSql(bool indexed) {
  const std::string n = std::to_string(kProducts);
  std::string sql =
      "PRAGMA page_size=4096;"
      "CREATE TABLE SoftBase(Key text, DisplayName text, Publisher text, SoftName text, MainExeName text, "
      "VerCompareNum text, PreciseMainKey text, MainRegKey text, ICON text);"
      "CREATE TABLE SoftDownInfo(Key text, LanID int, bit int, Version text, OutURL text, OutFileSize text, "
      "OutMD5 text, InURL text, InFileSize text, InMD5 text, InstallerType text, Param text, DownURL text, OsType text);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n + ") "
      "INSERT INTO SoftBase SELECT printf('{%08X-0000-4000-8000-000000000000}', i), printf('Product %05d', i), "
      "'Vendor ' || (i % 97), '', '', '', '', '', '' FROM n;"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n + ") "
      "INSERT INTO SoftDownInfo SELECT printf('{%08X-0000-4000-8000-000000000000}', i), 1, 0, '2.' || (i % 5), "
      "'https://dl.example/' || i, '1000', '', '', '', '', 'exe', '', '', '63' FROM n;";
  if (indexed) sql += "CREATE INDEX SoftBaseKey ON SoftBase(Key); CREATE INDEX SoftDownInfoKey ON SoftDownInfo(Key);";
  return sql;
}

std::string MachineReg() {
  std::string reg = "Windows Registry Editor Version 5.00\n\n";
  for (int i = 0; i < kEntries; ++i) {
    // Every third entry is a product the database knows.
    const int product = i % 3 == 0 ? i * 40 + 1 : 0;
    char name[64];
    std::snprintf(name, sizeof name, product ? "Product %05d" : "Local Tool %d", product ? product : i);
    reg += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Entry" +
           std::to_string(i) + "]\n\"DisplayName\"=\"" + name + "\"\n\"Publisher\"=\"Vendor " +
           std::to_string(product % 97) + "\"\n\"DisplayVersion\"=\"1.0\"\n\"UninstallString\"=\"C:\\\\u" +
           std::to_string(i) + ".exe\"\n\n";
  }
  return reg;
}

struct Setup {
  std::unique_ptr<inspect::InspectionMachine> machine;
  std::unique_ptr<detection::TUpdateDatabase> db;
};

Setup Prepare(bool indexed) {
  fs::create_directories(kFolder);
  const fs::path reg = kFolder / "machine.reg";
  std::ofstream(reg) << MachineReg();
  inspect::MachineOptions options;
  options.registryFiles.push_back(reg.string());
  Setup s;
  s.machine = std::make_unique<inspect::InspectionMachine>(options);
  const std::wstring dbd = (kFolder / (indexed ? "indexed.dbd" : "plain.dbd")).wstring();
  const tools::DbToolServices services{s.machine->HostFiles(), s.machine->HostLibraries(), platform::SystemCrypto(),
                                       L"libsqlite3.so.0"};
  tools::BuildDatabaseFromSql(services, DatabaseSql(indexed), dbd);
  s.db = std::make_unique<detection::TUpdateDatabase>(detection::UpdateDatabaseSetup{
      s.machine->HostFiles(), s.machine->HostLibraries(), platform::SystemCrypto(), L"libsqlite3.so.0",
      s.machine->TempFolder()});
  s.db->AcquireDatabase(dbd);
  return s;
}

void Detection(benchmark::State& state) {
  Setup s = Prepare(state.range(0) != 0);
  const platform::Platform& p = s.machine->Platform();
  detection::TUpdateDatabaseQueries queries(*s.db);
  const platform::TAppFrame frame(p);
  const detection::TIgnoreList ignore(p.files, L"/nonexistent/Main.ini");
  std::size_t rows = 0;
  for (auto _ : state) {
    detection::TSoftwareInfo inventory(p, platform::SystemCrypto(), L"/nonexistent/SoftwareCache.ini");
    detection::TUpdateMatcher matcher(detection::MatchContext{p, queries, ignore, frame});
    matcher.MatchInstalledPrograms(inventory);
    detection::InMemoryUpdateList list;
    detection::TUpdateListModel model;
    model.FillList(matcher.Candidates(), matcher.HasCandidateList(), list, p.files, {});
    rows = list.items.size();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["rows"] = static_cast<double>(rows);
  s.db->ReleaseDatabase();
  s.db.reset();
  s.machine.reset();
  fs::remove_all(kFolder);
}

BENCHMARK(Detection)->ArgName("keyIndex")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
