#pragma once
// The rows of the update database that the catalogue reads, kept beside the
// database copy in the user's temporary folder from one run to the next. The
// copy is ten-odd megabytes that SQLite reads page by page, and the catalogue
// needs only a few columns of it; while the copy is the same file, these rows
// are the same rows. The file lies beside the copy and belongs to it: making a
// new copy removes it, and a copy that another program made is known by its
// size, last-write time and SQLite header (which counts every change).
//
// The file is ours, but anything may happen to it there: it is read whole,
// checked against its checksum, every span in it against its text, and
// any fault makes the catalogue read the copy instead.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace nudgelet::detection {

// Where a value lies in the rows' text; size kNull for SQL NULL.
struct CatalogueSpan {
  static constexpr std::uint32_t kNull = 0xFFFFFFFF;
  std::uint32_t offset = 0;
  std::uint32_t size = kNull;
  bool IsNull() const { return size == kNull; }
  bool operator==(const CatalogueSpan&) const = default;
};

struct CatalogueProduct {
  std::int64_t rowid = 0;
  CatalogueSpan key, name, publisher, softName;
  bool operator==(const CatalogueProduct&) const = default;
};

struct CatalogueDownload {
  static constexpr std::uint8_t kLanIdOne = 1, kBitZero = 2, kBitOne = 4;
  std::int64_t rowid = 0;
  CatalogueSpan key;
  std::uint8_t conditions = 0;  // which of "LanID=1", "bit=0", "bit=1" SQLite found true
  bool operator==(const CatalogueDownload&) const = default;
};

// How the catalogue reads a table: a name of its rowid that no column takes, and its columns.
struct CatalogueTableShape {
  std::string rowid;
  std::vector<std::string> columns;
  bool operator==(const CatalogueTableShape&) const = default;
};

struct CatalogueRows {
  std::vector<std::uint8_t> source;  // the copy they were read from (DatabaseCopyIdentity)
  CatalogueTableShape productTable, downloadTable;
  std::vector<std::uint8_t> text;  // UTF-8, as SQLite holds it
  std::vector<CatalogueProduct> products;
  std::vector<CatalogueDownload> downloads;

  // The file's bytes to rows; nullopt for anything but a whole, unchanged file
  // of this format whose spans all lie in its text.
  // The text stays where it was read, in the file's own bytes.
  static std::optional<CatalogueRows> Parse(std::vector<std::uint8_t> bytes);
  std::vector<std::uint8_t> Serialize() const;

  std::string_view Text() const { return {reinterpret_cast<const char*>(text.data()), text.size()}; }

  bool operator==(const CatalogueRows&) const = default;
};

// The file that keeps the rows of the copy at copyPath.
inline std::wstring CatalogueSnapshotPathFor(const std::wstring& copyPath) { return copyPath + L".catalogue"; }

// Larger files are not read: twenty thousand products take a few megabytes.
inline constexpr std::uint64_t kMaxCatalogueSnapshotBytes = 256u << 20;

// What tells this copy from any other: its size, last-write time and SQLite
// header; nullopt when they cannot be had.
std::optional<std::vector<std::uint8_t>> DatabaseCopyIdentity(const platform::FileSystem& files,
                                                              const std::wstring& copyPath);

// The rows the file keeps when they were read from the copy with that
// identity; nullopt otherwise.
std::optional<CatalogueRows> LoadCatalogueSnapshot(const platform::FileSystem& files, const std::wstring& path,
                                                   const std::vector<std::uint8_t>& source);
// Writes the rows in one step; a failure leaves the file as it was, to be
// found stale and read past next time.
void SaveCatalogueSnapshot(const platform::FileSystem& files, const std::wstring& path, const CatalogueRows& rows);

}  // namespace nudgelet::detection
