#pragma once
// Matching's four questions answered from one reading of the update database.
// The statements as written read every product for every installed program;
// the catalogue reads SoftBase and SoftDownInfo once and finds the products
// whose DisplayName occurs in an installed name by looking up the pieces of
// that name, so a question costs the same whatever the number of products.
//
// Its answers are the statements' answers, row for row: the text rules of
// instr() and LIKE are SQLite's own (SqlTextMatching.h), and wherever SQLite's
// rules would need a guess it asks SQLite instead: comparisons with their
// affinities are evaluated by SQLite while reading, values are read back
// through the statement layer, and a table or question outside what the
// catalogue reproduces (a view, a collation, keys that are not text, blobs in
// the names, a duplicate key whose first row would decide, an answer larger
// than the statement bounds allow) goes to the statement itself.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "detection/UpdateDatabase.h"
#include "detection/UpdateQueries.h"

namespace nudgelet::detection {

class TUpdateCatalogue final : public UpdateQueries {
 public:
  // Reads the database that db has open; db must stay open while the
  // catalogue is used.
  explicit TUpdateCatalogue(TUpdateDatabase& db);
  ~TUpdateCatalogue() override;
  TUpdateCatalogue(const TUpdateCatalogue&) = delete;
  TUpdateCatalogue& operator=(const TUpdateCatalogue&) = delete;

  std::wstring FindKey(const std::wstring& displayName, const std::wstring& publisher) const override;
  std::wstring FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                 const std::wstring& softName) const override;
  std::wstring GetBaseField(const std::wstring& key, const std::wstring& column) const override;
  std::wstring GetDownField(const std::wstring& key, int bit, int lanId, const std::wstring& column) const override;

  // How the questions so far were answered: by the catalogue, or by the statements.
  struct Counts {
    std::size_t own = 0;
    std::size_t statements = 0;
  };
  Counts Answers() const { return counts_; }
  // Whether the table's questions are the catalogue's at all.
  bool ReadsProducts() const;
  bool ReadsDownloads() const;

 private:
  // Where a value lies in text_; size kNull for SQL NULL.
  struct Span {
    static constexpr std::uint32_t kNull = 0xFFFFFFFF;
    std::uint32_t offset = 0;
    std::uint32_t size = kNull;
    bool IsNull() const { return size == kNull; }
  };
  struct Product {
    std::int64_t rowid = 0;
    Span key, name, publisher, softName;
  };
  struct Download {
    std::int64_t rowid = 0;
    Span key;
    std::uint8_t conditions = 0;  // which of "LanID=1", "bit=0", "bit=1" SQLite found true
  };
  // Products that share one non-empty DisplayName.
  struct NameGroup {
    Span name;
    std::uint32_t hashTag = 0;
    std::uint32_t first = 0;  // into nameOrder_
    std::uint32_t count = 0;
  };
  struct Table;

  void Read(TSQLiteDatabase& db);
  void ReadProducts(TSQLiteDatabase& db);
  void ReadDownloads(TSQLiteDatabase& db);
  void IndexNames();
  Span Keep(std::string_view bytes);
  std::string_view View(Span span) const { return {text_.data() + span.offset, span.size}; }

  // Products whose DisplayName instr() finds in the installed name.
  std::vector<std::uint32_t> NamesOccurringIn(std::string_view installedName) const;
  // Products whose DisplayName is LIKE the pattern.
  std::vector<std::uint32_t> NamesLike(const std::string& pattern) const;
  // The key text of the only row, or "" when there is not exactly one; nullopt
  // when the statement would hold more than it may and must answer itself.
  std::optional<std::wstring> OnlyKey(const std::vector<std::uint32_t>& rows) const;
  template <typename Row>
  std::vector<std::uint32_t> RowsWithKey(const std::vector<Row>& rows, const std::vector<std::uint32_t>& byKey,
                                         std::string_view key) const;
  // The column's value of the row, as the statement would read it from its only row.
  std::wstring FieldOf(const Table& table, std::int64_t rowid, const std::wstring& column) const;
  // Whether the column is one the statement names as the catalogue reads it.
  bool Answerable(const Table& table, const std::wstring& column) const;

  TUpdateDatabase& db_;
  std::unique_ptr<Table> base_;
  std::unique_ptr<Table> down_;
  std::string text_;
  std::vector<Product> products_;
  std::vector<Download> downloads_;
  std::vector<std::uint32_t> productsByKey_;
  std::vector<std::uint32_t> downloadsByKey_;
  std::vector<std::uint32_t> emptyNames_;  // products with DisplayName '' (found in every name)
  std::vector<std::uint32_t> nameOrder_;
  std::vector<NameGroup> nameGroups_;
  std::vector<std::uint32_t> nameSlots_;  // open addressing: group index + 1, 0 for free
  std::vector<bool> nameLengths_;         // which lengths of DisplayName occur
  std::size_t maxKeyBytes_ = 0;
  // For LIKE 'name%': DisplayNames folded as LIKE compares them, in order. Made
  // when first needed.
  mutable std::string folded_;
  mutable std::vector<std::pair<Span, std::uint32_t>> foldedOrder_;
  mutable bool foldedMade_ = false;
  mutable Counts counts_;
};

}  // namespace nudgelet::detection
