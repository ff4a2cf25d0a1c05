// The update catalogue against the statements as written, on seeded random
// update databases and machines: every key search, every field asked of the
// keys found (and of keys made to collide), and the whole matching with its
// rows must come out the same both ways. A difference prints its seed.
//
//   nudgelet_catalogue_differential [--seeds N] [--first SEED] [--show]
//
// The test command runs a few hundred seeds; a long run outside it takes a
// larger N (--show prints the database and machine of each seed).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "DbTool.h"
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
#include "platform/RegFile.h"
#include "support/FakePlatform.h"
#include "support/RealSystem.h"
#include "support/ScratchFolder.h"

namespace nudgelet::detection {
namespace {

using testing::FakePlatform;

class Random {
 public:
  explicit Random(std::uint64_t seed) : g_(seed) {}
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(g_() % n); }
  bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

 private:
  std::mt19937_64 g_;
};

// Items separated by '|'.
std::vector<std::string> Split(const std::string& all) {
  std::vector<std::string> items;
  for (std::size_t at = 0, bar; at <= all.size(); at = bar + 1) {
    bar = std::min(all.find('|', at), all.size());
    items.push_back(all.substr(at, bar - at));
  }
  return items;
}

// Pieces of names that meet in every way the statements tell apart: case,
// wildcards, quotes, prefixes and substrings of one another, letters beyond
// ASCII in both cases, digits.
const std::vector<std::string> kWords = Split(
    "App|app|APP|Ap|Pro|Vendor|vendor|Suite|Ärger|ärger|ÄRGER|Straße|STRASSE|İ|ı|Ω|ω|日本|50%|%|_|a_b|100%_|"
    "O'Brien|Tom's|'|''|x|X|Chrome|Google Chrome|ALL User|Current User|all user|1.5|42|é|e\xCC\x81|-|(x64)|Soft|"
    "Software|Inc.|LLC|🙂");
// DisplayNames, publishers and soft names the way they are stored: text,
// empty, NULL, numbers, and text that is not valid UTF-8 or holds a NUL.
const std::vector<std::string> kOddValues = Split(
    "NULL|''|42|1.5|-7|1e3|CAST(X'C3' AS TEXT)|CAST(X'E083A9' AS TEXT)|CAST(X'80' AS TEXT)|CAST(X'EDA080' AS TEXT)|"
    "CAST(X'41004200' AS TEXT)|CAST(X'C3A4' AS TEXT)");

std::string Quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) {
    q += c;
    if (c == '\'') q += c;
  }
  return q + "'";
}

std::string Words(Random& r, std::size_t most) {
  std::string text;
  const std::size_t n = 1 + r.Below(most);
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && !r.Chance(20)) text += ' ';
    text += r.Pick(kWords);
  }
  return text;
}

// A part of text, cut at character starts so that it stays valid UTF-8.
std::string Slice(Random& r, const std::string& text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  std::size_t a = starts[r.Below(starts.size())];
  std::size_t b = starts[r.Below(starts.size())];
  if (a > b) std::swap(a, b);
  return text.substr(a, b - a);
}

std::string SwapAsciiCase(Random& r, std::string text) {
  for (char& c : text) {
    if (r.Chance(30) && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
  }
  return text;
}

struct Product {
  std::string key;                        // SQL literal
  std::string name, publisher, softName;  // SQL literals
  std::string nameText, publisherText;    // the text, when it is text
};

struct Case {
  std::string sql;
  std::vector<Product> products;
  std::vector<std::string> keys;  // texts of keys to ask fields of
  std::wstring registry;
  struct Program {
    std::wstring name, publisher;
  };
  std::vector<Program> programs;
};

std::string Value(Random& r, std::string& text, std::size_t words) {
  if (r.Chance(12)) {
    text.clear();
    return r.Pick(kOddValues);
  }
  text = Words(r, words);
  return Quoted(text);
}

Case Generate(std::uint64_t seed) {
  Random r(seed);
  Case c;
  // Column types decide affinities, and with them what "=" finds and how values
  // are stored. A quarter of the databases are odd in a way the catalogue
  // leaves to the statements (keys that are no text, a view, a collation,
  // blobs among the names); the rest it answers itself.
  const bool odd = r.Chance(25);
  const char* const keyTypes[] = {"text", "varchar(50)", "TEXT", "nvarchar"};
  const char* const oddKeyTypes[] = {"", "INTEGER", "text COLLATE NOCASE", "NUMERIC"};
  const char* const nameTypes[] = {"text", "varchar(200)", "", "NUMERIC"};
  const char* const numberTypes[] = {"int", "INTEGER", "text", "", "real"};
  const std::string keyType = odd && r.Chance(50) ? r.Pick(oddKeyTypes) : r.Pick(keyTypes);
  const std::string downKeyType = odd && r.Chance(50) ? r.Pick(oddKeyTypes) : r.Pick(keyTypes);
  const std::string nameType = r.Pick(nameTypes);
  const bool view = odd && r.Chance(20);
  const bool blobName = odd && r.Chance(30);
  const std::string base = view ? "Base" : "SoftBase";
  c.sql = "BEGIN;\nCREATE TABLE " + base + "(Key " + keyType + ", DisplayName " + nameType + ", Publisher " + nameType +
          ", SoftName text, MainExeName text, VerCompareNum text, PreciseMainKey text, MainRegKey text, ICON " +
          (r.Chance(10) ? "blob" : "text") + ");\n";
  if (view) c.sql += "CREATE VIEW SoftBase AS SELECT * FROM Base;\n";
  c.sql += "CREATE TABLE SoftDownInfo(Key " + downKeyType + ", LanID " + r.Pick(numberTypes) + ", bit " +
           r.Pick(numberTypes) + ", Version text, OutURL text, OsType " + r.Pick(numberTypes) + ");\n";
  if (r.Chance(15)) c.sql += "CREATE INDEX BaseKey ON " + base + "(Key);\n";
  if (r.Chance(10)) c.sql += "CREATE INDEX BaseKeyName ON " + base + "(Key, DisplayName);\n";
  if (odd && r.Chance(30)) c.sql += "CREATE INDEX BaseName ON " + base + "(DisplayName COLLATE NOCASE);\n";
  if (r.Chance(15)) c.sql += "CREATE INDEX DownKey ON SoftDownInfo(Key, LanID, bit, Version);\n";

  const std::size_t count = 8 + r.Below(32);
  for (std::size_t i = 0; i < count; ++i) {
    Product p;
    std::string keyText = "{K" + std::to_string(i) + "}";
    if (i > 0 && r.Chance(10)) keyText = c.products[r.Below(c.products.size())].key;  // a duplicate key
    else if (r.Chance(5)) keyText = "{k" + std::to_string(i) + "}";
    p.key = keyText.front() == '{' ? Quoted(keyText) : keyText;
    if (r.Chance(3)) p.key = "NULL";
    if (r.Chance(3)) p.key = std::to_string(i);
    if (keyText.front() == '{') c.keys.push_back(keyText);
    p.name = Value(r, p.nameText, 3);
    p.publisher = Value(r, p.publisherText, 2);
    std::string soft;
    p.softName = Value(r, soft, 2);
    if (blobName && i == 0) p.name = "X'416170'";
    c.products.push_back(p);
    const char* const compares[] = {"'2'", "'0x2'", "' 3'", "''", "NULL", "1"};
    c.sql += "INSERT INTO " + base + " VALUES(" + p.key + ", " + p.name + ", " + p.publisher + ", " + p.softName +
             ", 'app" + std::to_string(i) + ".exe', " + r.Pick(compares) + ", '', '', " +
             (r.Chance(50) ? "''" : "'0001'") + ");\n";
    const std::size_t downs = r.Below(4);
    for (std::size_t d = 0; d < downs; ++d) {
      const char* const lanIds[] = {"1", "1", "'1'", "2", "1.0", "' 1'"};
      const char* const bits[] = {"0", "1", "'0'", "'1'", "1.0", "NULL"};
      const char* const osTypes[] = {"'63'", "'2'", "63", "'0x2'", "NULL"};
      c.sql += "INSERT INTO SoftDownInfo VALUES(" + p.key + ", " + r.Pick(lanIds) + ", " + r.Pick(bits) + ", '" +
               std::to_string(1 + r.Below(9)) + "." + std::to_string(r.Below(20)) + "', 'u" + std::to_string(i) +
               "', " + r.Pick(osTypes) + ");\n";
    }
  }

  c.sql += "COMMIT;\n";

  // Installed programs named after the products, around them, or quite unlike them.
  for (std::size_t i = 0; i < 20; ++i) {
    const Product& p = c.products[r.Below(c.products.size())];
    std::string name = p.nameText.empty() || r.Chance(15) ? Words(r, 3) : p.nameText;
    if (r.Chance(40)) name = Words(r, 1) + " " + name;
    if (r.Chance(40)) name += " " + Words(r, 2);
    if (r.Chance(15)) name = SwapAsciiCase(r, name);
    if (r.Chance(5)) name = r.Chance(50) ? "Google Chrome (All User)" : "Google Chrome (Current User)";
    std::string publisher = p.publisherText.empty() || r.Chance(20) ? Words(r, 1) : Slice(r, p.publisherText);
    if (r.Chance(20)) publisher = SwapAsciiCase(r, publisher);
    if (publisher.find_first_not_of(' ') == std::string::npos) publisher = "x" + publisher;
    c.programs.push_back({Utf8ToWide(name), Utf8ToWide(publisher)});
  }
  for (std::size_t i = 0; i < c.programs.size(); ++i) {
    // .reg strings: backslashes and quotes escaped.
    auto reg = [](const std::wstring& text) {
      std::wstring out;
      for (wchar_t ch : text) {
        if (ch == L'\\' || ch == L'"') out += L'\\';
        out += ch;
      }
      return out;
    };
    c.registry += L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\P" +
                  std::to_wstring(i) + L"]\r\n\"DisplayName\"=\"" + reg(c.programs[i].name) +
                  L"\"\r\n\"Publisher\"=\"" + reg(c.programs[i].publisher) + L"\"\r\n\"DisplayVersion\"=\"" +
                  std::to_wstring(r.Below(9)) + L".0\"\r\n\"UninstallString\"=\"C:\\\\u" + std::to_wstring(i) +
                  L".exe\"\r\n\r\n";
  }
  return c;
}

class Comparison {
 public:
  Comparison(std::uint64_t seed, const UpdateQueries& statements, const UpdateQueries& catalogue)
      : seed_(seed), statements_(statements), catalogue_(catalogue) {}

  template <typename Ask>
  std::wstring Same(const std::string& question, Ask ask) {
    const std::wstring expected = ask(statements_);
    const std::wstring actual = ask(catalogue_);
    if (expected != actual && differences_++ < 5) {
      std::cout << "seed " << seed_ << ": " << question << ": the statements answer \"" << WideToUtf8(expected)
                << "\", the catalogue \"" << WideToUtf8(actual) << "\"\n";
    }
    return expected;
  }
  int Differences() const { return differences_; }
  void Count() { ++differences_; }

 private:
  std::uint64_t seed_;
  const UpdateQueries& statements_;
  const UpdateQueries& catalogue_;
  int differences_ = 0;
};

std::string Show(const std::wstring& text) { return "\"" + WideToUtf8(text) + "\""; }

// The matching of a machine with these uninstall entries, as nudgelet-inspect reports it.
std::string Report(const UpdateQueries& queries, const std::wstring& registryText) {
  FakePlatform machine;
  platform::LoadRegFile(machine.registry,
                        testing::Utf16LeWithBom(L"Windows Registry Editor Version 5.00\r\n\r\n" + registryText));
  TSoftwareInfo inventory(*machine, platform::SystemCrypto(), L"C:\\none\\SoftwareCache.ini");
  const TIgnoreList ignore(machine.files, L"C:\\none\\Main.ini");
  const platform::TAppFrame frame(*machine);
  TUpdateMatcher matcher(MatchContext{*machine, queries, ignore, frame});
  matcher.MatchInstalledPrograms(inventory);
  InMemoryUpdateList list;
  TUpdateListModel model;
  model.FillList(matcher.Candidates(), matcher.HasCandidateList(), list, matcher.Files(), {});
  DetectionReport report{inventory.Records(), matcher.Candidates(), {}, &matcher.Traces()};
  for (const auto& item : list.items) report.rows.push_back(item.data.get());
  return RenderDetectionJson(report);
}

struct Totals {
  std::size_t own = 0;
  std::size_t statements = 0;
};

int RunSeed(std::uint64_t seed, bool show, Totals& totals) {
  const Case c = Generate(seed);
  if (show) std::cout << "--- seed " << seed << "\n" << c.sql << WideToUtf8(c.registry);
  testing::ScratchFolder folder(L"differential");
  const std::wstring dbd = folder.File(L"VessaUpdate.dbd");
  const std::wstring temp = folder.Path() + L"temp" + folder.Path().back();
  testing::RealFiles().CreateFolders(temp);
  tools::BuildDatabaseFromSql(tools::DbToolServices{testing::RealFiles(), testing::RealLibraries(),
                                                    platform::SystemCrypto(), testing::SqliteLibrary()},
                              c.sql, dbd);
  TUpdateDatabase db(UpdateDatabaseSetup{testing::RealFiles(), testing::RealLibraries(), platform::SystemCrypto(),
                                         testing::SqliteLibrary(), temp});
  db.AcquireDatabase(dbd);
  const TUpdateDatabaseQueries statements(db);
  // One catalogue reads the copy and keeps its rows; the one compared question
  // by question takes them from what the first kept, wherever it could.
  const TUpdateCatalogue reading(db, true);
  const TUpdateCatalogue catalogue(db, true);
  Comparison compare(seed, statements, catalogue);
  if (catalogue.RowsFromSnapshot() != (reading.ReadsProducts() && reading.ReadsDownloads())) {
    std::cout << "seed " << seed << ": the rows read were " << (catalogue.RowsFromSnapshot() ? "" : "not ")
              << "taken from the snapshot\n";
    compare.Count();
  }

  // The keys found, some of the database's own (duplicates among them), and
  // keys no statement can find.
  std::set<std::wstring> keys{L"{K1}'", L"{k1}", L""};
  for (std::size_t i = 0; i < 4 && i < c.keys.size(); ++i) keys.insert(Utf8ToWide(c.keys[i * 7 % c.keys.size()]));
  for (const auto& program : c.programs) {
    const auto& [name, publisher] = program;
    keys.insert(compare.Same("FindKey(" + Show(name) + ", " + Show(publisher) + ")",
                             [&](const UpdateQueries& q) { return q.FindKey(name, publisher); }));
    for (const wchar_t* soft : {L"ALL User", L"%r_"}) {
      keys.insert(compare.Same("FindKeyBySoftName(" + Show(name) + ", " + Show(publisher) + ", " + Show(soft) + ")",
                               [&](const UpdateQueries& q) { return q.FindKeyBySoftName(name, publisher, soft); }));
    }
  }
  for (const auto& key : keys) {
    for (const wchar_t* column : {L"MainExeName", L"icon", L"Key", L"select"}) {
      compare.Same("GetBaseField(" + Show(key) + ", " + Show(column) + ")",
                   [&](const UpdateQueries& q) { return q.GetBaseField(key, column); });
    }
    for (int bit : {0, 1}) {
      for (const wchar_t* column : {L"Version", L"OsType", L"Nothing"}) {
        compare.Same("GetDownField(" + Show(key) + ", " + std::to_string(bit) + ", 1, " + Show(column) + ")",
                     [&](const UpdateQueries& q) { return q.GetDownField(key, bit, 1, column); });
      }
    }
    compare.Same("GetDownField(" + Show(key) + ", 0, 2, \"Version\")",
                 [&](const UpdateQueries& q) { return q.GetDownField(key, 0, 2, L"Version"); });
  }
  // The whole matching, candidates, traces and rows.
  const std::string expected = Report(statements, c.registry);
  const std::string actual = Report(catalogue, c.registry);
  if (Report(reading, c.registry) != actual) {
    std::cout << "seed " << seed
              << ": the catalogue read from the copy reports otherwise than the one from the snapshot\n";
    compare.Count();
  }
  if (expected != actual) {
    std::cout << "seed " << seed << ": the reports differ\n--- statements\n"
              << expected << "\n--- catalogue\n"
              << actual << "\n";
    compare.Count();
  }
  totals.own += catalogue.Answers().own;
  totals.statements += catalogue.Answers().statements;
  db.ReleaseDatabase();
  return compare.Differences();
}

}  // namespace
}  // namespace nudgelet::detection

int main(int argc, char** argv) {
  // Every database is written and synced twice, made and deciphered: on a
  // memory file system, when there is one, that costs nothing.
  if (!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 0);
  std::uint64_t first = 1;
  std::uint64_t seeds = 200;
  bool show = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seeds") && i + 1 < argc) seeds = std::strtoull(argv[++i], nullptr, 10);
    else if (!std::strcmp(argv[i], "--first") && i + 1 < argc) first = std::strtoull(argv[++i], nullptr, 10);
    else if (!std::strcmp(argv[i], "--show")) show = true;
    else {
      std::cerr << "usage: nudgelet_catalogue_differential [--seeds N] [--first SEED] [--show]\n";
      return 2;
    }
  }
  nudgelet::detection::Totals totals;
  std::uint64_t failed = 0;
  for (std::uint64_t seed = first; seed < first + seeds; ++seed) {
    if (nudgelet::detection::RunSeed(seed, show, totals) != 0) ++failed;
  }
  std::cout << seeds << " seeds from " << first << ": " << failed << " with differences; the catalogue answered "
            << totals.own << " questions itself and left " << totals.statements << " to the statements\n";
  // A catalogue that left everything to the statements would agree trivially.
  if (totals.own < totals.statements) {
    std::cout << "the catalogue answered too little itself for the comparison to mean much\n";
    return 1;
  }
  return failed == 0 ? 0 : 1;
}
