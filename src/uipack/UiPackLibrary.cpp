#include "uipack/UiPackLibrary.h"

#include <algorithm>
#include <cstring>

namespace nudgelet::uipack {
namespace {

std::wstring JoinWithBars(const std::vector<std::wstring>& names) {
  std::wstring text;
  for (const auto& name : names) {
    text += name;
    text += L'|';
  }
  return text;
}

}  // namespace

UiPackLibrary::UiPackLibrary(FileReader reader, PackageLimits limits) : reader_(std::move(reader)), limits_(limits) {}

bool UiPackLibrary::Register(std::wstring_view path) {
  if (path.empty()) return false;
  auto bytes = reader_(std::wstring(path), limits_.maxPackageBytes);
  if (!bytes) return false;
  try {
    packages_.Register(path, std::move(*bytes), limits_);
  } catch (const PackageError&) {
    return false;
  }
  return true;
}

bool UiPackLibrary::Unregister(std::wstring_view path) { return !path.empty() && packages_.Unregister(path); }

bool UiPackLibrary::Data(std::uint32_t thread, std::wstring_view name, void* buffer, std::uint32_t* size) {
  if (!buffer && size) return QuerySize(thread, name, *size);
  if (buffer && !size) return Fetch(thread, name, buffer);
  if (!buffer) return false;
  const auto bytes = packages_.Read(name);
  const std::uint32_t capacity = *size;
  *size = bytes ? static_cast<std::uint32_t>(bytes->size()) : 0;
  if (!bytes || bytes->size() > capacity) return false;
  if (!bytes->empty()) std::memcpy(buffer, bytes->data(), bytes->size());
  return true;
}

bool UiPackLibrary::QuerySize(std::uint32_t thread, std::wstring_view name, std::uint32_t& size) {
  auto bytes = packages_.Read(name);
  std::lock_guard lock(pendingMutex_);
  if (!bytes) {
    // A stale answer must not serve a fetch that follows a failed query.
    pending_.erase(thread);
    size = 0;
    return false;
  }
  size = static_cast<std::uint32_t>(bytes->size());
  PendingRead& read = pending_[thread];
  read.name.assign(name);
  read.bytes = std::move(*bytes);
  read.sequence = ++sequence_;
  if (pending_.size() > kMaxPendingReads) {
    const auto oldest = std::min_element(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) {
      return a.second.sequence < b.second.sequence;
    });
    pending_.erase(oldest);
  }
  return true;
}

bool UiPackLibrary::Fetch(std::uint32_t thread, std::wstring_view name, void* buffer) {
  std::lock_guard lock(pendingMutex_);
  const auto it = pending_.find(thread);
  if (it == pending_.end() || it->second.name != name) return false;
  if (!it->second.bytes.empty()) std::memcpy(buffer, it->second.bytes.data(), it->second.bytes.size());
  pending_.erase(it);
  return true;
}

bool UiPackLibrary::Enum(std::wstring_view folder, std::uint32_t foldersText, std::uint32_t filesText) {
  const auto listing = packages_.List(folder);
  if (foldersText != 0) texts_.Set(foldersText, listing ? JoinWithBars(listing->folders) : std::wstring());
  if (filesText != 0) texts_.Set(filesText, listing ? JoinWithBars(listing->files) : std::wstring());
  return listing.has_value();
}

}  // namespace nudgelet::uipack
