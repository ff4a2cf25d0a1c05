#pragma once
// What uipack.dll does, apart from Windows: registration through a file reader
// that the caller supplies, the three ways of reading a resource, folder
// listings into text handles, and the text handles themselves. The DLL's entry
// points (UiPack.h) only translate their arguments and add the calling thread.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "uipack/PackageRegistry.h"
#include "uipack/TextHandles.h"

namespace nudgelet::uipack {

class UiPackLibrary {
 public:
  // Gives a file's bytes, or nullopt when it cannot be read. `maxBytes` is the
  // largest file that is wanted: a larger one counts as unreadable.
  using FileReader =
      std::function<std::optional<std::vector<std::uint8_t>>(const std::wstring& path, std::uint64_t maxBytes)>;

  explicit UiPackLibrary(FileReader reader, PackageLimits limits = {});

  // Each mirrors the entry point of the same name; `thread` names the caller's thread.
  bool Register(std::wstring_view path);
  bool Unregister(std::wstring_view path);
  bool Data(std::uint32_t thread, std::wstring_view name, void* buffer, std::uint32_t* size);
  bool Enum(std::wstring_view folder, std::uint32_t foldersText, std::uint32_t filesText);

  TextHandleTable& Texts() { return texts_; }
  const PackageRegistry& Packages() const { return packages_; }

  // How many threads may have a size query waiting for its fetch; beyond that,
  // the oldest is forgotten.
  static constexpr std::size_t kMaxPendingReads = 64;

 private:
  struct PendingRead {
    std::wstring name;
    std::vector<std::uint8_t> bytes;
    std::uint64_t sequence = 0;
  };

  bool QuerySize(std::uint32_t thread, std::wstring_view name, std::uint32_t& size);
  bool Fetch(std::uint32_t thread, std::wstring_view name, void* buffer);

  FileReader reader_;
  PackageLimits limits_;
  PackageRegistry packages_;
  TextHandleTable texts_;

  std::mutex pendingMutex_;
  std::map<std::uint32_t, PendingRead> pending_;
  std::uint64_t sequence_ = 0;
};

}  // namespace nudgelet::uipack
