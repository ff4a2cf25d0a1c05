// The whole detection of a generated machine: 400 uninstall entries against an
// update database of 20,000 products, answered by the catalogue the program
// uses and by the statements as written, over a database without indexes and
// over one with an index on Key. The database is deciphered once beforehand;
// what is timed is the inventory scan, reading the catalogue, matching every
// program and filling the list. Both ways must give the same report.
//
// Names are made of a few thousand made-up words, so that installed names hold
// the names of other products, share words and prefixes with them, and differ
// in case, as real ones do.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "DbTool.h"
#include "InspectionMachine.h"
#include "base/Strings.h"
#include "detection/DetectionReport.h"
#include "detection/IgnoreList.h"
#include "detection/SoftwareInfo.h"
#include "detection/UpdateCatalogue.h"
#include "detection/UpdateDatabase.h"
#include "detection/UpdateDatabaseQueries.h"
#include "detection/UpdateList.h"
#include "detection/UpdateMatching.h"
#include "platform/AppFrame.h"
#include "platform/Crypto.h"

namespace {

namespace fs = std::filesystem;
using namespace nudgelet;

constexpr int kEntries = 400;
constexpr int kProducts = 20000;

const fs::path kFolder = fs::temp_directory_path() / ("nudgelet-detect-bench-" + std::to_string(::getpid()));

class Names {
 public:
  Names() : random_(20240501) {
    const char* const syllables[] = {"ar", "be",  "cor", "da",  "el",  "fin", "gra", "hu",  "is", "jo", "ka",  "lum",
                                     "mo", "nex", "or",  "pix", "qua", "ro",  "sa",  "tel", "ul", "vi", "wex", "zen"};
    for (int i = 0; i < 3000; ++i) {
      std::string word;
      const int parts = 2 + static_cast<int>(random_() % 2);
      for (int p = 0; p < parts; ++p) word += syllables[random_() % std::size(syllables)];
      word[0] = static_cast<char>(word[0] - 32);
      words_.push_back(word);
    }
  }
  std::string Word() { return words_[random_() % words_.size()]; }
  std::string Phrase(int most) {
    std::string text = Word();
    for (int n = static_cast<int>(random_() % most); n > 0; --n) {
      text += ' ';
      text += Word();
    }
    return text;
  }
  std::uint32_t Next() { return static_cast<std::uint32_t>(random_()); }

 private:
  std::mt19937 random_;
  std::vector<std::string> words_;
};

struct Catalogue {
  std::vector<std::string> names, publishers;
};

Catalogue MakeCatalogue() {
  Names n;
  Catalogue c;
  for (int i = 0; i < kProducts; ++i) {
    c.names.push_back(n.Phrase(3));
    c.publishers.push_back(n.Phrase(1) + (i % 3 == 0 ? " Software" : i % 3 == 1 ? " Inc." : " Ltd"));
  }
  return c;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string DatabaseSql(const Catalogue& c, bool indexed) {
  std::string sql =
      "PRAGMA page_size=4096; BEGIN;"
      "CREATE TABLE SoftBase(Key text, DisplayName text, Publisher text, SoftName text, MainExeName text, "
      "VerCompareNum text, PreciseMainKey text, MainRegKey text, ICON text);"
      "CREATE TABLE SoftDownInfo(Key text, LanID int, bit int, Version text, OutURL text, OutFileSize text, "
      "OutMD5 text, InURL text, InFileSize text, InMD5 text, InstallerType text, Param text, DownURL text, "
      "OsType text);";
  char key[64];
  for (int i = 0; i < kProducts; ++i) {
    std::snprintf(key, sizeof key, "'{%08X-0000-4000-8000-000000000000}'", i + 1);
    sql += std::string("INSERT INTO SoftBase VALUES(") + key + "," + Quoted(c.names[i]) + "," +
           Quoted(c.publishers[i]) + ",'','','','','','');";
    for (int bit = 0; bit < 2; ++bit) {
      sql += std::string("INSERT INTO SoftDownInfo VALUES(") + key + ",1," + std::to_string(bit) + ",'2." +
             std::to_string(i % 5) + "','https://dl.example/" + std::to_string(i) +
             "','1000','','','','','exe','',''," + "'63');";
    }
  }
  if (indexed) sql += "CREATE INDEX SoftBaseKey ON SoftBase(Key); CREATE INDEX SoftDownInfoKey ON SoftDownInfo(Key);";
  return sql + "COMMIT;";
}

std::string MachineReg(const Catalogue& c) {
  Names n;
  std::string reg = "Windows Registry Editor Version 5.00\n\n";
  for (int i = 0; i < kEntries; ++i) {
    // A third carry a product's name as it is, a third around other words,
    // a third are names of words only.
    const int product = static_cast<int>(n.Next() % kProducts);
    std::string name = c.names[product];
    std::string publisher = c.publishers[product].substr(0, c.publishers[product].find(' '));
    if (i % 3 == 1) name = n.Word() + " " + name + " " + std::to_string(i % 9) + ".0 (x64)";
    if (i % 3 == 2) {
      name = n.Phrase(3);
      publisher = n.Word();
    }
    reg += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Entry" +
           std::to_string(i) + "]\n\"DisplayName\"=\"" + name + "\"\n\"Publisher\"=\"" + publisher +
           "\"\n\"DisplayVersion\"=\"1.0\"\n\"UninstallString\"=\"C:\\\\u" + std::to_string(i) + ".exe\"\n\n";
  }
  return reg;
}

struct Setup {
  std::unique_ptr<inspect::InspectionMachine> machine;
  std::unique_ptr<detection::TUpdateDatabase> db;
};

Setup Prepare(bool indexed) {
  static const Catalogue catalogue = MakeCatalogue();
  fs::create_directories(kFolder);
  const fs::path reg = kFolder / "machine.reg";
  std::ofstream(reg) << MachineReg(catalogue);
  inspect::MachineOptions options;
  options.registryFiles.push_back(reg.string());
  Setup s;
  s.machine = std::make_unique<inspect::InspectionMachine>(options);
  const std::wstring dbd = (kFolder / (indexed ? "indexed.dbd" : "plain.dbd")).wstring();
  const tools::DbToolServices services{s.machine->HostFiles(), s.machine->HostLibraries(), platform::SystemCrypto(),
                                       L"libsqlite3.so.0"};
  if (!fs::exists(fs::path(dbd))) tools::BuildDatabaseFromSql(services, DatabaseSql(catalogue, indexed), dbd);
  s.db = std::make_unique<detection::TUpdateDatabase>(
      detection::UpdateDatabaseSetup{s.machine->HostFiles(), s.machine->HostLibraries(), platform::SystemCrypto(),
                                     L"libsqlite3.so.0", s.machine->TempFolder()});
  s.db->AcquireDatabase(dbd);
  return s;
}

// One detection: the report it gives.
std::string Detect(const platform::Platform& p, detection::TUpdateDatabase& db, bool literal, std::size_t& rows) {
  const platform::TAppFrame frame(p);
  const detection::TIgnoreList ignore(p.files, L"/nonexistent/Main.ini");
  detection::TSoftwareInfo inventory(p, platform::SystemCrypto(), L"/nonexistent/SoftwareCache.ini");
  std::unique_ptr<detection::UpdateQueries> queries;
  if (literal) queries = std::make_unique<detection::TUpdateDatabaseQueries>(db);
  else queries = std::make_unique<detection::TUpdateCatalogue>(db);
  detection::TUpdateMatcher matcher(detection::MatchContext{p, *queries, ignore, frame});
  matcher.MatchInstalledPrograms(inventory);
  detection::InMemoryUpdateList list;
  detection::TUpdateListModel model;
  model.FillList(matcher.Candidates(), matcher.HasCandidateList(), list, matcher.Files(), {});
  rows = list.items.size();
  detection::DetectionReport report{inventory.Records(), matcher.Candidates(), {}, nullptr};
  for (const auto& item : list.items) report.rows.push_back(item.data.get());
  return detection::RenderDetectionJson(report);
}

// The statements' report, made once per database, against which every catalogue run is checked.
std::map<bool, std::string>& Expected() {
  static std::map<bool, std::string> reports;
  return reports;
}

void Detection(benchmark::State& state) {
  const bool literal = state.range(0) == 0;
  const bool indexed = state.range(1) != 0;
  Setup s = Prepare(indexed);
  const platform::Platform& p = s.machine->Platform();
  std::size_t rows = 0;
  std::string report;
  for (auto _ : state) {
    report = Detect(p, *s.db, literal, rows);
    benchmark::DoNotOptimize(report.data());
  }
  auto& expected = Expected();
  if (!expected.count(indexed)) {
    std::size_t ignored = 0;
    expected[indexed] = literal ? report : Detect(p, *s.db, true, ignored);
  }
  if (report != expected[indexed]) state.SkipWithError("the catalogue and the statements give different reports");
  state.counters["rows"] = static_cast<double>(rows);
  s.db->ReleaseDatabase();
}

// The statements first: their report is the one the catalogue is held to.
BENCHMARK(Detection)->ArgNames({"catalogue", "keyIndex"})->Args({0, 0})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Detection)->ArgNames({"catalogue", "keyIndex"})->Args({1, 0})->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(Detection)->ArgNames({"catalogue", "keyIndex"})->Args({0, 1})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Detection)->ArgNames({"catalogue", "keyIndex"})->Args({1, 1})->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(kFolder, ignored);
  return 0;
}
