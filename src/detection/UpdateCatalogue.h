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
//
// Asked to, the catalogue keeps the rows it read beside the database copy, and
// takes them from there while the copy stays the same file (CatalogueSnapshot.h).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "detection/CatalogueSnapshot.h"
#include "detection/UpdateDatabase.h"
#include "detection/UpdateQueries.h"

namespace nudgelet::detection {

class TUpdateCatalogue final : public UpdateQueries {
 public:
  // Reads the database that db has open; db must stay open while the
  // catalogue is used. Questions come from one thread, as the statements' do;
  // whatever the catalogue reads from the database it reads under its lock.
  explicit TUpdateCatalogue(TUpdateDatabase& db, bool keepRowsBesideCopy = false);
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
  // Whether the rows came from the snapshot rather than from the database.
  bool RowsFromSnapshot() const { return fromSnapshot_; }

 private:
  using Span = CatalogueSpan;  // in rows_.text
  using Product = CatalogueProduct;
  using Download = CatalogueDownload;
  // Distinct texts, each with the rows that hold it in reading order, found by
  // their hash: FNV-1a, which the search of names extends byte by byte.
  class TextIndex {
   public:
    static constexpr std::uint64_t kStart = 14695981039346656037ull;
    static std::uint64_t Extend(std::uint64_t hash, unsigned char byte) { return (hash ^ byte) * 1099511628211ull; }

    // spans[i] is row i's text; rows whose span is skipped stay out.
    template <typename Skip>
    void Build(std::string_view text, const std::vector<Span>& spans, Skip skip);
    // The text's entry, or -1.
    std::int64_t Find(std::string_view text, std::uint64_t hash, const char* data, std::size_t size) const;
    // Appends the entry's rows.
    void RowsOf(std::int64_t entry, std::vector<std::uint32_t>& rows) const;
    Span TextOf(std::int64_t entry) const { return entries_[static_cast<std::size_t>(entry)].text; }

   private:
    struct Entry {
      Span text;
      std::uint32_t tag = 0;
      std::uint32_t first = 0;
    };
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_;  // entry + 1; 0 for free
    std::vector<std::uint32_t> next_;   // the next row with the same text; 0xFFFFFFFF ends
  };
  struct Table;

  void Read(TSQLiteDatabase& db, const std::wstring& copyPath, const std::wstring& snapshotPath);
  void ReadRows(TSQLiteDatabase& db);
  // Takes rows a snapshot kept; false, taking nothing, when this catalogue would not have read them so.
  bool Adopt(CatalogueRows& rows);
  void IndexProductKeys();
  void IndexDownloadKeys();
  void ReadProducts(TSQLiteDatabase& db);
  void ReadDownloads(TSQLiteDatabase& db);
  void IndexNames();
  Span Keep(std::string_view bytes);
  std::string_view View(Span span) const { return rows_.Text().substr(span.offset, span.size); }

  // Products whose DisplayName instr() finds in the installed name.
  std::vector<std::uint32_t> NamesOccurringIn(std::string_view installedName) const;
  // Products whose DisplayName is LIKE the pattern.
  std::vector<std::uint32_t> NamesLike(const std::string& pattern) const;
  // The key text of the only row, or "" when there is not exactly one; nullopt
  // when the statement would hold more than it may and must answer itself.
  std::optional<std::wstring> OnlyKey(const std::vector<std::uint32_t>& rows) const;
  std::vector<std::uint32_t> RowsWithKey(const TextIndex& index, std::string_view key) const;
  // The column's value of the row, as the statement would read it from its only row.
  std::wstring FieldOf(const Table& table, std::int64_t rowid, const std::wstring& column) const;
  // Whether the column is one the statement names as the catalogue reads it.
  bool Answerable(const Table& table, const std::wstring& column) const;

  TUpdateDatabase& db_;
  std::unique_ptr<Table> base_;
  std::unique_ptr<Table> down_;
  CatalogueRows rows_;  // what was read: the texts, products and downloads
  TextIndex productKeys_;
  TextIndex downloadKeys_;
  TextIndex names_;                        // non-empty DisplayNames
  std::vector<std::uint32_t> emptyNames_;  // products with DisplayName '' (found in every name)
  std::vector<bool> nameLengths_;          // which lengths of DisplayName occur
  std::size_t maxKeyBytes_ = 0;
  // For LIKE 'name%': DisplayNames folded as LIKE compares them, in order. Made
  // when first needed.
  mutable std::string folded_;
  mutable std::vector<std::pair<Span, std::uint32_t>> foldedOrder_;
  mutable bool foldedMade_ = false;
  mutable Counts counts_;
  bool reading_ = false;  // the catalogue began the read transaction
  bool fromSnapshot_ = false;
};

}  // namespace nudgelet::detection
