#include "detection/UpdateCatalogue.h"

#include <algorithm>
#include <cstring>

#include "base/Strings.h"
#include "detection/SQLiteTable.h"
#include "detection/SqlTextMatching.h"

namespace nudgelet::detection {

// What the catalogue knows of one table, and what it read back of its rows.
struct TUpdateCatalogue::Table {
  explicit Table(std::string tableName) : name(std::move(tableName)) {}

  std::string name;       // as the statements write it
  bool ordinary = false;  // the catalogue answers its questions
  std::string rowid;      // a name of the rowid that no column takes
  std::vector<std::string> columns;
  bool hasSoftName = false;
  mutable std::map<std::wstring, bool> answerable;
  // Whole rows read back by rowid; nullptr when one is more than a statement may hold.
  mutable std::unique_ptr<TSQLitePreparedQuery> wholeRow;
  mutable std::map<std::int64_t, std::unique_ptr<TSQLiteTable>> rows;
};

namespace {

// Thrown while reading a table that the catalogue leaves to the statements.
struct NotOrdinary {};

// LIKE patterns far below SQLite's bound on their length (50,000 bytes by
// default): longer ones are the statement's to judge.
constexpr std::size_t kMaxPatternBytes = 1000;
// The text the catalogue keeps of the names and keys; a database beyond it is
// no real one, and the statements bound themselves.
constexpr std::size_t kMaxTextBytes = 64u << 20;
// A statement runs a handful of instructions per row; the catalogue answers
// for tables whose full scan stays far inside the statements' budget, so that
// no statement would have been cut short where the catalogue answers.
constexpr std::uint64_t kInstructionsPerRowBound = 64;
// More than TSQLiteTable takes for one cell besides its text.
constexpr std::size_t kCellBound = 256;

constexpr std::uint8_t kLanIdOne = CatalogueDownload::kLanIdOne;
constexpr std::uint8_t kBitZero = CatalogueDownload::kBitZero;
constexpr std::uint8_t kBitOne = CatalogueDownload::kBitOne;

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

// Identifiers as SQLite resolves them: ASCII letters without regard to case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

bool HasTextAffinity(std::string_view declared) {
  const std::string type = AsciiUpper(declared);
  if (type.find("INT") != std::string::npos) return false;
  return type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
         type.find("TEXT") != std::string::npos;
}

bool HasColumn(const std::vector<std::string>& columns, std::string_view name) {
  return std::any_of(columns.begin(), columns.end(), [&](const std::string& c) { return SameName(c, name); });
}

bool IsPlainIdentifier(const std::wstring& name) {
  if (name.empty() || (name[0] >= L'0' && name[0] <= L'9')) return false;
  return std::all_of(name.begin(), name.end(), [](wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_';
  });
}

// The UTF-8 text a statement would carry for a value; nullopt when the value
// holds a NUL, which ends the statement's text there.
std::optional<std::string> StatementText(const std::wstring& value) {
  if (value.find(L'\0') != std::wstring::npos) return std::nullopt;
  return WideToUtf8(value);
}

}  // namespace

TUpdateCatalogue::TUpdateCatalogue(TUpdateDatabase& db, bool keepRowsBesideCopy)
    : db_(db), base_(std::make_unique<Table>("SoftBase")), down_(std::make_unique<Table>("SoftDownInfo")) {
  const std::wstring copyPath = keepRowsBesideCopy ? db_.OpenCopyPath() : std::wstring();
  const std::wstring snapshotPath = copyPath.empty() ? std::wstring() : CatalogueSnapshotPathFor(copyPath);
  db_.WithOpenDatabase([this, &copyPath, &snapshotPath](TSQLiteDatabase& database) {
    // One read transaction for the catalogue's life: the file is locked and
    // checked once instead of for every row read back. Nothing writes to the
    // copy, so every statement sees what it would have seen on its own.
    try {
      if (!database.InTransaction()) {
        database.BeginTransaction();
        reading_ = true;
      }
    } catch (const std::exception&) {
    }
    Read(database, copyPath, snapshotPath);
  });
}

TUpdateCatalogue::~TUpdateCatalogue() {
  // The prepared statements go while the connection is still there, under its lock.
  db_.WithOpenDatabase([this](TSQLiteDatabase& database) {
    base_->wholeRow.reset();
    down_->wholeRow.reset();
    try {
      if (reading_ && database.InTransaction()) database.Commit();
    } catch (const std::exception&) {
    }
  });
}

template <typename Skip>
void TUpdateCatalogue::TextIndex::Build(std::string_view text, const std::vector<Span>& spans, Skip skip) {
  constexpr std::uint32_t kEnd = 0xFFFFFFFF;
  next_.assign(spans.size(), kEnd);
  std::size_t size = 16;
  while (size < spans.size() * 2) size *= 2;
  slots_.assign(size, 0);
  std::vector<std::uint32_t> last;  // per entry, its last row so far
  entries_.reserve(spans.size());
  last.reserve(spans.size());
  for (std::uint32_t row = 0; row < spans.size(); ++row) {
    const Span span = spans[row];
    if (skip(span)) continue;
    std::uint64_t hash = kStart;
    for (std::uint32_t i = 0; i < span.size; ++i)
      hash = Extend(hash, static_cast<unsigned char>(text[span.offset + i]));
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    std::size_t slot = hash & (size - 1);
    for (; slots_[slot] != 0; slot = (slot + 1) & (size - 1)) {
      const Entry& e = entries_[slots_[slot] - 1];
      if (e.tag == tag && e.text.size == span.size &&
          text.substr(e.text.offset, e.text.size) == text.substr(span.offset, span.size)) {
        break;
      }
    }
    if (slots_[slot] == 0) {
      entries_.push_back(Entry{span, tag, row});
      last.push_back(row);
      slots_[slot] = static_cast<std::uint32_t>(entries_.size());
    } else {
      const std::uint32_t entry = slots_[slot] - 1;
      next_[last[entry]] = row;
      last[entry] = row;
    }
  }
}

std::int64_t TUpdateCatalogue::TextIndex::Find(std::string_view text, std::uint64_t hash, const char* data,
                                               std::size_t size) const {
  if (slots_.empty()) return -1;
  const std::size_t mask = slots_.size() - 1;
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const Entry& e = entries_[slots_[slot] - 1];
    if (e.tag == tag && e.text.size == size && std::memcmp(text.data() + e.text.offset, data, size) == 0) {
      return slots_[slot] - 1;
    }
  }
  return -1;
}

void TUpdateCatalogue::TextIndex::RowsOf(std::int64_t entry, std::vector<std::uint32_t>& rows) const {
  for (std::uint32_t row = entries_[static_cast<std::size_t>(entry)].first; row != 0xFFFFFFFF; row = next_[row]) {
    rows.push_back(row);
  }
}

bool TUpdateCatalogue::ReadsProducts() const { return base_->ordinary; }
bool TUpdateCatalogue::ReadsDownloads() const { return down_->ordinary; }

TUpdateCatalogue::Span TUpdateCatalogue::Keep(std::string_view bytes) {
  if (rows_.text.size() + bytes.size() > kMaxTextBytes) throw NotOrdinary{};
  const Span span{static_cast<std::uint32_t>(rows_.text.size()), static_cast<std::uint32_t>(bytes.size())};
  rows_.text.insert(rows_.text.end(), bytes.begin(), bytes.end());
  return span;
}

namespace {

constexpr const char* kRowidAliases[] = {"rowid", "_rowid_", "oid"};
constexpr std::initializer_list<const char*> kProductColumns = {"Key", "DisplayName", "Publisher"};
constexpr std::initializer_list<const char*> kDownloadColumns = {"Key", "LanID", "bit"};

// Which of the statements' tables the catalogue can read as they do: a plain
// table, its keys compared as text without a collation, the columns the
// statements name all there, and a rowid to read single rows back by.
void Describe(TSQLiteDatabase& db, std::string& rowid, std::vector<std::string>& columns, bool& ordinary,
              const std::string& table, std::initializer_list<const char*> required) {
  ordinary = false;
  int found = 0;
  std::string type, sql;
  db.ForEachRow("SELECT type, sql FROM sqlite_master WHERE type IN ('table', 'view') AND lower(name) = lower(?1)",
                {table}, [&](const SqlRowView& row) {
                  ++found;
                  type = row.Bytes(0);
                  sql = row.Bytes(1);
                });
  if (found != 1 || type != "table") return;
  // A collation changes what "=" and the LIKE optimisation find; a virtual
  // table is not read as stored; WITHOUT ROWID has no rowid to read back by.
  for (const char* word : {"COLLATE", "VIRTUAL", "WITHOUT"}) {
    if (AsciiUpper(sql).find(word) != std::string::npos) return;
  }
  bool collatedIndex = false;
  db.ForEachRow("SELECT sql FROM sqlite_master WHERE type = 'index' AND lower(tbl_name) = lower(?1)", {table},
                [&](const SqlRowView& row) {
                  if (AsciiUpper(row.Bytes(0)).find("COLLATE") != std::string::npos) collatedIndex = true;
                });
  if (collatedIndex) return;
  bool hidden = false;
  std::string keyType = "-";
  db.ForEachRow("SELECT name, type, hidden FROM pragma_table_xinfo(?1)", {table}, [&](const SqlRowView& row) {
    columns.emplace_back(row.Bytes(0));
    if (SameName(columns.back(), "Key")) keyType = row.Bytes(1);
    if (row.Int64(2) != 0) hidden = true;  // generated columns are no stored values
  });
  if (hidden || !HasTextAffinity(keyType)) return;
  for (const char* name : required) {
    if (!HasColumn(columns, name)) return;
  }
  for (const char* alias : kRowidAliases) {
    if (!HasColumn(columns, alias)) {
      rowid = alias;
      ordinary = true;
      return;
    }
  }
}

}  // namespace

void TUpdateCatalogue::Read(TSQLiteDatabase& db, const std::wstring& copyPath, const std::wstring& snapshotPath) {
  const UpdateDatabaseSetup& setup = db_.Setup();
  std::optional<std::vector<std::uint8_t>> source;
  if (!snapshotPath.empty()) source = DatabaseCopyIdentity(setup.files, copyPath);
  if (source) {
    std::optional<CatalogueRows> kept = LoadCatalogueSnapshot(setup.files, snapshotPath, *source);
    if (kept && Adopt(*kept)) {
      fromSnapshot_ = true;
      IndexProductKeys();
      IndexDownloadKeys();
      IndexNames();
      return;
    }
  }
  ReadRows(db);
  // Only rows the catalogue answers from are worth keeping; a table left to
  // the statements is read again, in case what kept it from the catalogue passes.
  if (source && base_->ordinary && down_->ordinary) {
    rows_.source = std::move(*source);
    rows_.productTable = {base_->rowid, base_->columns};
    rows_.downloadTable = {down_->rowid, down_->columns};
    SaveCatalogueSnapshot(setup.files, snapshotPath, rows_);
  }
  IndexDownloadKeys();
  IndexNames();
}

bool TUpdateCatalogue::Adopt(CatalogueRows& rows) {
  // What reading would have refused, the snapshot does not give either: too
  // many rows or too much text, or tables described otherwise than reading
  // describes them. The rowid's name goes into statements, so it must be one.
  const std::uint64_t maxRows = db_.Setup().maxThousandInstructions * 1000 / kInstructionsPerRowBound;
  if (rows.text.size() > kMaxTextBytes) return false;
  if (maxRows != 0 && (rows.products.size() > maxRows || rows.downloads.size() > maxRows)) return false;
  auto described = [](const CatalogueTableShape& shape, std::initializer_list<const char*> required) {
    const bool aliasName = std::any_of(std::begin(kRowidAliases), std::end(kRowidAliases),
                                       [&](const char* alias) { return shape.rowid == alias; });
    return aliasName && !HasColumn(shape.columns, shape.rowid) &&
           std::all_of(required.begin(), required.end(),
                       [&](const char* name) { return HasColumn(shape.columns, name); });
  };
  if (!described(rows.productTable, kProductColumns) || !described(rows.downloadTable, kDownloadColumns)) {
    return false;
  }
  base_->ordinary = down_->ordinary = true;
  base_->rowid = rows.productTable.rowid;
  base_->columns = rows.productTable.columns;
  base_->hasSoftName = HasColumn(base_->columns, "SoftName");
  down_->rowid = rows.downloadTable.rowid;
  down_->columns = rows.downloadTable.columns;
  rows_ = std::move(rows);
  return true;
}

void TUpdateCatalogue::ReadRows(TSQLiteDatabase& db) {
  try {
    std::string encoding;
    db.ForEachRow("PRAGMA encoding", {}, [&](const SqlRowView& row) { encoding = row.Bytes(0); });
    // Texts are compared as SQLite holds them; only UTF-8 is read as it is.
    if (encoding != "UTF-8") return;
    Describe(db, base_->rowid, base_->columns, base_->ordinary, base_->name, kProductColumns);
    Describe(db, down_->rowid, down_->columns, down_->ordinary, down_->name, kDownloadColumns);
  } catch (const std::exception&) {
    base_->ordinary = down_->ordinary = false;
    return;
  }
  base_->hasSoftName = HasColumn(base_->columns, "SoftName");
  if (base_->ordinary) {
    try {
      ReadProducts(db);
    } catch (...) {
      base_->ordinary = false;
    }
  }
  if (!base_->ordinary) rows_.products.clear();
  // Downloads take their keys' text from the products where they can.
  IndexProductKeys();
  if (down_->ordinary) {
    try {
      ReadDownloads(db);
    } catch (...) {
      down_->ordinary = false;
    }
  }
  if (!down_->ordinary) rows_.downloads.clear();
}

namespace {

template <typename Rows>
std::vector<CatalogueSpan> KeysOf(const Rows& rows, std::size_t& longest) {
  std::vector<CatalogueSpan> keys;
  keys.reserve(rows.size());
  for (const auto& row : rows) {
    keys.push_back(row.key);
    if (!row.key.IsNull()) longest = std::max<std::size_t>(longest, row.key.size);
  }
  return keys;
}

}  // namespace

void TUpdateCatalogue::IndexProductKeys() {
  productKeys_.Build(rows_.Text(), KeysOf(rows_.products, maxKeyBytes_), [](Span key) { return key.IsNull(); });
}

void TUpdateCatalogue::IndexDownloadKeys() {
  downloadKeys_.Build(rows_.Text(), KeysOf(rows_.downloads, maxKeyBytes_), [](Span key) { return key.IsNull(); });
}

void TUpdateCatalogue::ReadProducts(TSQLiteDatabase& db) {
  const UpdateDatabaseSetup& setup = db_.Setup();
  const std::uint64_t maxRows = setup.maxThousandInstructions * 1000 / kInstructionsPerRowBound;
  const std::string sql = "SELECT " + base_->rowid + ", Key, DisplayName, Publisher, " +
                          (base_->hasSoftName ? "SoftName" : "NULL") + " FROM " + base_->name;
  auto key = [this](const SqlRowView& row, int c) {
    // Keys of a text column that are no text would be compared by affinity rules.
    const int type = row.Type(c);
    if (type == sqlite::kNull) return Span{};
    if (type != sqlite::kText) throw NotOrdinary{};
    return Keep(row.Bytes(c));
  };
  auto name = [this](const SqlRowView& row, int c) {
    // LIKE on a blob depends on how SQLite was built.
    const int type = row.Type(c);
    if (type == sqlite::kNull) return Span{};
    if (type == sqlite::kBlob) throw NotOrdinary{};
    return Keep(row.Bytes(c));
  };
  db.ForEachRow(sql, {}, [&](const SqlRowView& row) {
    if (maxRows != 0 && rows_.products.size() >= maxRows) throw NotOrdinary{};
    rows_.products.push_back(Product{row.Int64(0), key(row, 1), name(row, 2), name(row, 3), name(row, 4)});
  });
}

void TUpdateCatalogue::ReadDownloads(TSQLiteDatabase& db) {
  const UpdateDatabaseSetup& setup = db_.Setup();
  const std::uint64_t maxRows = setup.maxThousandInstructions * 1000 / kInstructionsPerRowBound;
  // SQLite compares LanID and bit itself, with whatever affinity they have.
  const std::string sql = "SELECT " + down_->rowid +
                          ", Key, coalesce(LanID=1, 0) + 2 * coalesce(bit=0, 0) + 4 * coalesce(bit=1, 0) FROM " +
                          down_->name;
  db.ForEachRow(sql, {}, [&](const SqlRowView& row) {
    if (maxRows != 0 && rows_.downloads.size() >= maxRows) throw NotOrdinary{};
    Download d;
    d.rowid = row.Int64(0);
    const int type = row.Type(1);
    if (type != sqlite::kNull) {
      if (type != sqlite::kText) throw NotOrdinary{};
      // The editions of a product mostly follow one another, and have its key:
      // the text of a key is kept once.
      const std::string_view key = row.Bytes(1);
      const Span previous = rows_.downloads.empty() ? Span{} : rows_.downloads.back().key;
      if (!previous.IsNull() && View(previous) == key) {
        d.key = previous;
      } else {
        std::uint64_t hash = TextIndex::kStart;
        for (const char c : key) hash = TextIndex::Extend(hash, static_cast<unsigned char>(c));
        const std::int64_t entry = productKeys_.Find(rows_.Text(), hash, key.data(), key.size());
        d.key = entry >= 0 ? productKeys_.TextOf(entry) : Keep(key);
      }
    }
    d.conditions = static_cast<std::uint8_t>(row.Int64(2));
    rows_.downloads.push_back(d);
  });
}

void TUpdateCatalogue::IndexNames() {
  std::vector<Span> names;
  names.reserve(rows_.products.size());
  std::size_t longest = 0;
  for (std::uint32_t i = 0; i < rows_.products.size(); ++i) {
    const Span name = rows_.products[i].name;
    names.push_back(name);
    if (name.IsNull()) continue;
    if (name.size == 0) emptyNames_.push_back(i);
    longest = std::max<std::size_t>(longest, name.size);
  }
  names_.Build(rows_.Text(), names, [](Span name) { return name.IsNull() || name.size == 0; });
  nameLengths_.assign(longest + 1, false);
  for (const Span name : names) {
    if (!name.IsNull()) nameLengths_[name.size] = true;
  }
}

std::vector<std::uint32_t> TUpdateCatalogue::NamesOccurringIn(std::string_view installed) const {
  // instr() tries the name at every character start: each start, each length a
  // DisplayName has, one look-up, the hash growing with the length.
  std::vector<std::int64_t> found;
  const std::size_t longest = nameLengths_.empty() ? 0 : nameLengths_.size() - 1;
  for (std::size_t start = 0; start < installed.size(); ++start) {
    if (start > 0 && (static_cast<unsigned char>(installed[start]) & 0xC0) == 0x80) continue;
    std::uint64_t hash = TextIndex::kStart;
    const std::size_t most = std::min(longest, installed.size() - start);
    for (std::size_t length = 1; length <= most; ++length) {
      hash = TextIndex::Extend(hash, static_cast<unsigned char>(installed[start + length - 1]));
      if (!nameLengths_[length]) continue;
      const std::int64_t entry = names_.Find(rows_.Text(), hash, installed.data() + start, length);
      if (entry >= 0) found.push_back(entry);
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  std::vector<std::uint32_t> rows = emptyNames_;
  for (const std::int64_t entry : found) names_.RowsOf(entry, rows);
  return rows;
}

std::vector<std::uint32_t> TUpdateCatalogue::NamesLike(const std::string& pattern) const {
  if (!foldedMade_) {
    for (std::uint32_t i = 0; i < rows_.products.size(); ++i) {
      if (rows_.products[i].name.IsNull()) continue;
      const std::size_t start = folded_.size();
      sql_text::AppendFoldedForLike(folded_, View(rows_.products[i].name));
      foldedOrder_.emplace_back(
          Span{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(folded_.size() - start)}, i);
    }
    auto view = [this](Span s) { return std::string_view(folded_.data() + s.offset, s.size); };
    std::sort(foldedOrder_.begin(), foldedOrder_.end(),
              [&](const auto& a, const auto& b) { return view(a.first) < view(b.first); });
    foldedMade_ = true;
  }
  auto view = [this](Span s) { return std::string_view(folded_.data() + s.offset, s.size); };
  // Every name LIKE the pattern starts with the pattern's characters before its
  // first wildcard, as LIKE compares characters.
  const std::string prefix = sql_text::FoldedLiteralPrefix(pattern);
  auto it = std::lower_bound(foldedOrder_.begin(), foldedOrder_.end(), prefix,
                             [&](const auto& entry, const std::string& p) { return view(entry.first) < p; });
  std::vector<std::uint32_t> rows;
  for (; it != foldedOrder_.end() && view(it->first).substr(0, prefix.size()) == prefix; ++it) {
    if (sql_text::Like(pattern, View(rows_.products[it->second].name))) rows.push_back(it->second);
  }
  return rows;
}

std::optional<std::wstring> TUpdateCatalogue::OnlyKey(const std::vector<std::uint32_t>& rows) const {
  // The statement reads all its rows before it counts them, within its bound.
  if (const std::size_t limit = db_.Setup().maxResultBytes; limit != 0) {
    std::size_t held = 0;
    for (std::uint32_t r : rows) {
      held += kCellBound + (rows_.products[r].key.IsNull() ? 0 : rows_.products[r].key.size * 4);
      if (held > limit) return std::nullopt;
    }
  }
  if (rows.size() != 1) return std::wstring();
  const Span key = rows_.products[rows[0]].key;
  return key.IsNull() || key.size == 0 ? std::wstring() : Utf8ToWide(View(key));
}

std::vector<std::uint32_t> TUpdateCatalogue::RowsWithKey(const TextIndex& index, std::string_view key) const {
  std::uint64_t hash = TextIndex::kStart;
  for (const char c : key) hash = TextIndex::Extend(hash, static_cast<unsigned char>(c));
  std::vector<std::uint32_t> rows;
  if (const std::int64_t entry = index.Find(rows_.Text(), hash, key.data(), key.size()); entry >= 0)
    index.RowsOf(entry, rows);
  return rows;
}

std::wstring TUpdateCatalogue::FindKey(const std::wstring& displayName, const std::wstring& publisher) const {
  const auto name = StatementText(displayName);
  const auto pub = StatementText(publisher);
  if (base_->ordinary && name && pub && pub->size() + 2 <= kMaxPatternBytes) {
    const std::string byPublisher = "%" + *pub + "%";
    std::vector<std::uint32_t> rows = NamesOccurringIn(*name);
    std::erase_if(rows, [&](std::uint32_t r) {
      const Span p = rows_.products[r].publisher;
      return p.IsNull() || !sql_text::Like(byPublisher, View(p));
    });
    std::optional<std::wstring> key;
    if (rows.size() < 2) {
      key = OnlyKey(rows);
    } else if (OnlyKey(rows) && name->size() + 1 <= kMaxPatternBytes) {
      // Several products fit: the one whose DisplayName is like the installed name, followed by anything.
      rows = NamesLike(*name + "%");
      std::erase_if(rows, [&](std::uint32_t r) {
        const Span p = rows_.products[r].publisher;
        return p.IsNull() || !sql_text::Like(byPublisher, View(p));
      });
      key = OnlyKey(rows);
    }
    if (key) {
      ++counts_.own;
      return *key;
    }
  }
  ++counts_.statements;
  return db_.FindKey(displayName, publisher);
}

std::wstring TUpdateCatalogue::FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                                 const std::wstring& softName) const {
  const auto name = StatementText(displayName);
  const auto pub = StatementText(publisher);
  const auto soft = StatementText(softName);
  if (base_->ordinary && base_->hasSoftName && name && pub && soft && pub->size() + 2 <= kMaxPatternBytes &&
      soft->size() + 2 <= kMaxPatternBytes) {
    const std::string byPublisher = "%" + *pub + "%";
    const std::string bySoftName = "%" + *soft + "%";
    std::vector<std::uint32_t> rows = NamesOccurringIn(*name);
    std::erase_if(rows, [&](std::uint32_t r) {
      const Product& p = rows_.products[r];
      return p.publisher.IsNull() || p.softName.IsNull() || !sql_text::Like(byPublisher, View(p.publisher)) ||
             !sql_text::Like(bySoftName, View(p.softName));
    });
    if (const auto key = OnlyKey(rows)) {
      ++counts_.own;
      return *key;
    }
  }
  ++counts_.statements;
  return db_.FindKeyBySoftName(displayName, publisher, softName);
}

bool TUpdateCatalogue::Answerable(const Table& table, const std::wstring& column) const {
  const auto known = table.answerable.find(column);
  if (known != table.answerable.end()) return known->second;
  bool answerable = false;
  if (IsPlainIdentifier(column)) {
    const std::string name = WideToUtf8(column);
    answerable = std::any_of(table.columns.begin(), table.columns.end(),
                             [&](const std::string& c) { return SameName(c, name); });
    // Some names are words of SQL that a statement cannot name unquoted.
    if (answerable) {
      db_.WithOpenDatabase([&](TSQLiteDatabase& db) {
        try {
          db.ForEachRow("SELECT " + name + " FROM " + table.name + " LIMIT 0", {}, [](const SqlRowView&) {});
        } catch (const std::exception&) {
          answerable = false;
        }
      });
    }
  }
  table.answerable.emplace(column, answerable);
  return answerable;
}

std::wstring TUpdateCatalogue::FieldOf(const Table& table, std::int64_t rowid, const std::wstring& column) const {
  auto cached = table.rows.find(rowid);
  if (cached == table.rows.end()) {
    std::unique_ptr<TSQLiteTable> row;
    db_.WithOpenDatabase([&](TSQLiteDatabase& db) {
      try {
        if (!table.wholeRow) {
          table.wholeRow = std::make_unique<TSQLitePreparedQuery>(
              db, "SELECT * FROM " + table.name + " WHERE " + table.rowid + "=?1");
        }
        row = table.wholeRow->Run({rowid});
      } catch (const std::exception&) {
        // More than a statement may hold: read the one column below.
      }
    });
    cached = table.rows.emplace(rowid, std::move(row)).first;
  }
  // The whole row holds the column where the table declares it; a statement
  // naming only that column reads the same value from the same declaration.
  const std::string name = WideToUtf8(column);
  const auto declared =
      std::find_if(table.columns.begin(), table.columns.end(), [&](const std::string& c) { return SameName(c, name); });
  const auto position = static_cast<std::int32_t>(declared - table.columns.begin());
  if (const TSQLiteTable* row = cached->second.get(); row && row->RowCount() == 1) {
    try {
      if (row->ColumnIndexOf(column) == position) return row->ReadText(position);
    } catch (const std::exception&) {
    }
  }
  std::wstring value;
  db_.WithOpenDatabase([&](TSQLiteDatabase& db) {
    try {
      const auto one =
          db.QueryTable("SELECT " + name + " FROM " + table.name + " WHERE " + table.rowid + "=?1", {rowid});
      if (one->RowCount() >= 1) value = one->ReadText(one->ColumnIndexOf(column));
    } catch (const std::exception&) {
    }
  });
  return value;
}

std::wstring TUpdateCatalogue::GetBaseField(const std::wstring& key, const std::wstring& column) const {
  const auto text = StatementText(key);
  if (base_->ordinary && text && Answerable(*base_, column)) {
    const auto rows = RowsWithKey(productKeys_, *text);
    // With two rows or more the first in SQLite's order decides: its order is SQLite's to tell.
    if (rows.size() < 2) {
      ++counts_.own;
      return rows.empty() ? std::wstring() : FieldOf(*base_, rows_.products[rows[0]].rowid, column);
    }
  }
  ++counts_.statements;
  return db_.GetBaseField(key, column);
}

std::wstring TUpdateCatalogue::GetDownField(const std::wstring& key, int bit, int lanId,
                                            const std::wstring& column) const {
  const auto text = StatementText(key);
  if (down_->ordinary && text && lanId == 1 && (bit == 0 || bit == 1) && Answerable(*down_, column)) {
    auto rows = RowsWithKey(downloadKeys_, *text);
    const std::uint8_t wanted = kLanIdOne | (bit == 0 ? kBitZero : kBitOne);
    std::erase_if(rows, [&](std::uint32_t r) { return (rows_.downloads[r].conditions & wanted) != wanted; });
    if (rows.size() < 2) {
      ++counts_.own;
      return rows.empty() ? std::wstring() : FieldOf(*down_, rows_.downloads[rows[0]].rowid, column);
    }
  }
  ++counts_.statements;
  return db_.GetDownField(key, bit, lanId, column);
}

}  // namespace nudgelet::detection
