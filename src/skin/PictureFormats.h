#pragma once
// Which picture class reads which file: by extension for picture files, by
// class name for the binary picture data stored forms hold. The skin engine
// registers PNG files (TPngImage) and .rdg descriptor text (TRdgImage).

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "skin/RdGraphic.h"

namespace nudgelet::skin {

class PackageStore;

// A picture that cannot be read: an unknown extension or class, or data its
// format refuses.
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Makes a picture from a file's or a stored entry's bytes; throws
// EInvalidGraphic when the bytes are not of its format.
using PictureLoader = std::function<std::unique_ptr<TRdGraphic>(const std::vector<std::uint8_t>& bytes)>;

struct PictureFormat {
  std::wstring extension;  // upper case, without the dot
  std::wstring description;
  PictureLoader load;
};

class PictureFormats {
 public:
  // Case is ignored and a leading dot dropped; a later registration of an
  // extension replaces the earlier one.
  void Register(std::wstring_view extension, std::wstring description, PictureLoader load);
  void Unregister(std::wstring_view extension);
  const PictureFormat* Find(std::wstring_view extension) const;
  const std::vector<PictureFormat>& Formats() const { return formats_; }

  // Class names under which binary picture data is stored (case ignored).
  void RegisterClass(std::wstring_view className, PictureLoader load);

  // A picture file's bytes, read by the class its extension names. PNG files
  // are always TPngImage, whatever else claimed the extension.
  std::unique_ptr<TRdGraphic> Load(std::wstring_view path, const std::vector<std::uint8_t>& bytes) const;
  // The same, reading the file; the extension is checked before the file.
  std::unique_ptr<TRdGraphic> LoadFromFile(const platform::FileSystem& files, const std::wstring& path) const;
  // Stored binary picture data: one length byte, the class name in that many
  // bytes, then the picture's own bytes. No class name means no picture
  // (nullptr).
  std::unique_ptr<TRdGraphic> ReadStored(const std::vector<std::uint8_t>& data) const;

  // Largest picture file read: far above any skin picture.
  static constexpr std::uint64_t kMaxFileBytes = 64u << 20;

 private:
  std::vector<PictureFormat> formats_;
  std::vector<std::pair<std::wstring, PictureLoader>> classes_;
};

// The extension of a path without the dot ("" when it has none).
std::wstring PictureExtension(std::wstring_view path);

// Reads PNG bytes into a TPngImage; throws EInvalidGraphic when they are no PNG.
std::unique_ptr<TRdGraphic> LoadPngPicture(const std::vector<std::uint8_t>& bytes);

// The skin engine's formats: "PNG" ("Png Image", replacing any other) with the
// stored class names TPngImage, TPNGGraphic and TRdLitePng, and "RDG" ("Rdg
// Image", descriptor lines as text, drawing from `store`).
void RegisterSkinPictureFormats(PictureFormats& formats, PackageStore& store);

}  // namespace nudgelet::skin
