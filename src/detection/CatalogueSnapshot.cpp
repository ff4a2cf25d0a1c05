#include "detection/CatalogueSnapshot.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/ByteRecords.h"

namespace nudgelet::detection {
namespace {

// Little-endian throughout; blobs are a count of bytes, then the bytes.
//   magic, source (blob), the product and the download table's shape,
//   text (blob), product count, products, download count, downloads,
//   checksum of everything before it (8 bytes)
//   shape:    rowid name (blob), column count, column names (blobs)
//   span:     offset (4), size (4; 0xFFFFFFFF for NULL)
//   product:  rowid (8), key, DisplayName, Publisher, SoftName (spans)
//   download: rowid (8), key (span), conditions (1)
constexpr char kMagic[8] = {'N', 'D', 'G', 'C', 'A', 'T', 'L', '1'};
constexpr std::size_t kProductSize = 8 + 4 * 8;
constexpr std::size_t kDownloadSize = 8 + 8 + 1;
// The first bytes of a SQLite file: its header, with the counter of changes.
constexpr std::size_t kSqliteHeaderSize = 100;

void WriteSpan(ByteRecordWriter& out, CatalogueSpan span) {
  out.U32(span.offset);
  out.U32(span.size);
}

void WriteShape(ByteRecordWriter& out, const CatalogueTableShape& shape) {
  out.Blob(shape.rowid.data(), shape.rowid.size());
  out.U32(static_cast<std::uint32_t>(shape.columns.size()));
  for (const std::string& column : shape.columns) out.Blob(column.data(), column.size());
}

std::string AsText(std::span<const std::uint8_t> bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

CatalogueTableShape ReadShape(ByteRecordReader& in) {
  CatalogueTableShape shape;
  shape.rowid = AsText(in.Blob());
  const std::uint32_t count = in.Count(4);
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) shape.columns.push_back(AsText(in.Blob()));
  return shape;
}

// A span that lies in the text; NULL always does.
CatalogueSpan ReadSpan(ByteRecordReader& in, std::size_t textSize) {
  CatalogueSpan span;
  span.offset = in.U32();
  span.size = in.U32();
  if (!span.IsNull() && (span.offset > textSize || span.size > textSize - span.offset)) in.Fail();
  return span;
}

}  // namespace

std::optional<CatalogueRows> CatalogueRows::Parse(std::vector<std::uint8_t> bytes) {
  if (bytes.size() > kMaxCatalogueSnapshotBytes) return std::nullopt;
  const std::span<const std::uint8_t> body = SealedBody(bytes);
  if (body.size() < sizeof kMagic || std::memcmp(body.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;

  ByteRecordReader in(body.subspan(sizeof kMagic));
  CatalogueRows rows;
  const auto source = in.Blob();
  rows.source.assign(source.begin(), source.end());
  rows.productTable = ReadShape(in);
  rows.downloadTable = ReadShape(in);
  const std::span<const std::uint8_t> text = in.Blob();
  const std::size_t textSize = text.size();
  const std::uint32_t productCount = in.Count(kProductSize);
  rows.products.resize(productCount);
  for (CatalogueProduct& p : rows.products) {
    p.rowid = static_cast<std::int64_t>(in.U64());
    for (CatalogueSpan* span : {&p.key, &p.name, &p.publisher, &p.softName}) *span = ReadSpan(in, textSize);
  }
  const std::uint32_t downloadCount = in.Count(kDownloadSize);
  rows.downloads.resize(downloadCount);
  for (CatalogueDownload& d : rows.downloads) {
    d.rowid = static_cast<std::int64_t>(in.U64());
    d.key = ReadSpan(in, textSize);
    d.conditions = in.U8();
    if (d.conditions > (CatalogueDownload::kLanIdOne | CatalogueDownload::kBitZero | CatalogueDownload::kBitOne)) {
      in.Fail();
    }
  }
  if (!in.Ok() || !in.AtEnd()) return std::nullopt;
  // Megabytes of text need no second copy: the file's bytes become the text.
  const auto textAt = static_cast<std::size_t>(text.data() - bytes.data());
  std::memmove(bytes.data(), bytes.data() + textAt, textSize);
  bytes.resize(textSize);
  rows.text = std::move(bytes);
  return rows;
}

std::vector<std::uint8_t> CatalogueRows::Serialize() const {
  ByteRecordWriter out;
  out.out.reserve(sizeof kMagic + source.size() + text.size() + products.size() * kProductSize +
                  downloads.size() * kDownloadSize + 256 + kChecksumSize);
  out.Bytes(kMagic, sizeof kMagic);
  out.Blob(source.data(), source.size());
  WriteShape(out, productTable);
  WriteShape(out, downloadTable);
  out.Blob(text.data(), text.size());
  out.U32(static_cast<std::uint32_t>(products.size()));
  for (const CatalogueProduct& p : products) {
    out.U64(static_cast<std::uint64_t>(p.rowid));
    for (CatalogueSpan span : {p.key, p.name, p.publisher, p.softName}) WriteSpan(out, span);
  }
  out.U32(static_cast<std::uint32_t>(downloads.size()));
  for (const CatalogueDownload& d : downloads) {
    out.U64(static_cast<std::uint64_t>(d.rowid));
    WriteSpan(out, d.key);
    out.U8(d.conditions);
  }
  out.Seal();
  return std::move(out.out);
}

std::optional<std::vector<std::uint8_t>> DatabaseCopyIdentity(const platform::FileSystem& files,
                                                              const std::wstring& copyPath) {
  const std::optional<platform::FileStamp> stamp = files.Stamp(copyPath);
  if (!stamp) return std::nullopt;
  const platform::FileReadResult header = files.ReadFilePart(copyPath, 0, kSqliteHeaderSize);
  if (header.error != 0 || header.bytes.size() != kSqliteHeaderSize) return std::nullopt;
  ByteRecordWriter out;
  out.U64(stamp->size);
  out.U64(stamp->lastWriteTime);
  out.Bytes(header.bytes.data(), header.bytes.size());
  return std::move(out.out);
}

std::optional<CatalogueRows> LoadCatalogueSnapshot(const platform::FileSystem& files, const std::wstring& path,
                                                   const std::vector<std::uint8_t>& source) {
  platform::FileReadResult read = files.ReadFile(path, kMaxCatalogueSnapshotBytes);
  if (read.error != 0) return std::nullopt;
  std::optional<CatalogueRows> rows = CatalogueRows::Parse(std::move(read.bytes));
  if (!rows || rows->source != source) return std::nullopt;
  return rows;
}

void SaveCatalogueSnapshot(const platform::FileSystem& files, const std::wstring& path, const CatalogueRows& rows) {
  files.WriteFileAtomically(path, rows.Serialize());
}

}  // namespace nudgelet::detection
