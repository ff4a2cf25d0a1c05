#include "skin/PictureFormats.h"

#include <algorithm>

#include "base/Paths.h"
#include "base/Strings.h"
#include "base/TextEncoding.h"
#include "skin/PngImage.h"
#include "skin/RdgImage.h"

namespace nudgelet::skin {
namespace {

std::wstring Key(std::wstring_view extension) {
  if (!extension.empty() && extension.front() == L'.') extension.remove_prefix(1);
  return ToUpper(extension);
}

}  // namespace

std::wstring PictureExtension(std::wstring_view path) {
  const std::wstring extension = ExtractFileExt(std::wstring(path));
  return extension.empty() ? extension : extension.substr(1);
}

std::unique_ptr<TRdGraphic> LoadPngPicture(const std::vector<std::uint8_t>& bytes) {
  auto png = std::make_unique<TPngImage>();
  if (!png->LoadFromPng(bytes)) throw EInvalidGraphic("Not a valid PNG image");
  return png;
}

void PictureFormats::Register(std::wstring_view extension, std::wstring description, PictureLoader load) {
  const std::wstring key = Key(extension);
  Unregister(key);
  formats_.push_back({key, std::move(description), std::move(load)});
}

void PictureFormats::Unregister(std::wstring_view extension) {
  const std::wstring key = Key(extension);
  std::erase_if(formats_, [&](const PictureFormat& f) { return f.extension == key; });
}

const PictureFormat* PictureFormats::Find(std::wstring_view extension) const {
  const std::wstring key = Key(extension);
  const auto it =
      std::find_if(formats_.begin(), formats_.end(), [&](const PictureFormat& f) { return f.extension == key; });
  return it == formats_.end() ? nullptr : &*it;
}

void PictureFormats::RegisterClass(std::wstring_view className, PictureLoader load) {
  std::erase_if(classes_, [&](const auto& c) { return EqualsIgnoreCase(c.first, className); });
  classes_.emplace_back(std::wstring(className), std::move(load));
}

std::unique_ptr<TRdGraphic> PictureFormats::Load(std::wstring_view path, const std::vector<std::uint8_t>& bytes) const {
  const std::wstring extension = PictureExtension(path);
  if (Key(extension) == L"PNG") return LoadPngPicture(bytes);
  const PictureFormat* format = Find(extension);
  if (!format) throw EInvalidGraphic("Unknown picture file extension (." + WideToUtf8(ToLower(extension)) + ")");
  return format->load(bytes);
}

std::unique_ptr<TRdGraphic> PictureFormats::LoadFromFile(const platform::FileSystem& files,
                                                         const std::wstring& path) const {
  const std::wstring extension = PictureExtension(path);
  if (Key(extension) != L"PNG" && !Find(extension)) {
    throw EInvalidGraphic("Unknown picture file extension (." + WideToUtf8(ToLower(extension)) + ")");
  }
  const auto read = files.ReadFile(path, kMaxFileBytes);
  if (read.error != 0) throw EInvalidGraphic("Cannot read picture file " + WideToUtf8(path));
  return Load(path, read.bytes);
}

std::unique_ptr<TRdGraphic> PictureFormats::ReadStored(const std::vector<std::uint8_t>& data) const {
  if (data.empty() || data[0] == 0) return nullptr;
  const std::size_t length = data[0];
  if (data.size() < 1 + length) throw EInvalidGraphic("Stored picture data is cut short");
  const std::wstring className(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(length));
  const auto it = std::find_if(classes_.begin(), classes_.end(),
                               [&](const auto& c) { return EqualsIgnoreCase(c.first, className); });
  if (it == classes_.end()) throw EInvalidGraphic("Unknown picture class " + WideToUtf8(className));
  return it->second(std::vector<std::uint8_t>(data.begin() + 1 + static_cast<std::ptrdiff_t>(length), data.end()));
}

void RegisterSkinPictureFormats(PictureFormats& formats, PackageStore& store) {
  formats.Register(L"PNG", L"Png Image", LoadPngPicture);
  for (const wchar_t* name : {L"TPngImage", L"TPNGGraphic", L"TRdLitePng"}) formats.RegisterClass(name, LoadPngPicture);
  formats.Register(L"RDG", L"Rdg Image", [&store](const std::vector<std::uint8_t>& bytes) {
    std::vector<std::wstring> lines;
    for (auto& line : SplitLines(DecodeText(bytes).text)) {
      if (!TrimView(line).empty()) lines.push_back(std::move(line));
    }
    auto picture = std::make_unique<TRdgImage>(store);
    picture->SetValues(lines);
    return std::unique_ptr<TRdGraphic>(std::move(picture));
  });
}

}  // namespace nudgelet::skin
