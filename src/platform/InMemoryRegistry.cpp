#include "platform/InMemoryRegistry.h"

#include <vector>

namespace nudgelet::platform {
namespace {

std::vector<std::wstring> SplitPath(std::wstring_view path) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

class InMemoryKey final : public RegistryKey {
 public:
  InMemoryKey(std::shared_ptr<const InMemoryRegistry::Node> node, const InMemoryRegistry& registry, RegistryRoot root,
              std::wstring path, RegistryView view)
      : node_(std::move(node)),
        registry_(registry),
        root_(root),
        path_(std::move(path)),
        view_(view),
        viewDecided_(!(view == RegistryView::Bits32 && root == RegistryRoot::LocalMachine) ||
                     SplitPath(path_).size() >= 2) {}

  std::vector<std::wstring> SubKeyNames() const override {
    std::vector<std::wstring> names;
    for (const auto& [_, child] : node_->children) names.push_back(child->name);
    return names;
  }

  std::vector<RegistrySubKey> SubKeys() const override {
    std::vector<RegistrySubKey> keys;
    for (const auto& [_, child] : node_->children) keys.push_back({child->name, child->lastWriteTime});
    return keys;
  }

  std::vector<std::wstring> ValueNames() const override {
    std::vector<std::wstring> names;
    for (const auto& [_, entry] : node_->values) names.push_back(entry.first);
    return names;
  }

  std::optional<RegistryValue> ReadValue(std::wstring_view name) const override {
    auto it = node_->values.find(name);
    if (it == node_->values.end()) return std::nullopt;
    if (it->second.second.data.size() > kMaxRegistryValueBytes) return std::nullopt;
    return it->second.second;
  }

  // As the path from the root names it, so that the view's rules apply alike.
  // Those rules look at a path's first two parts only: below them the subkey
  // is found from this key, and a walk down a deep tree is not quadratic.
  std::unique_ptr<RegistryKey> OpenSubKey(std::wstring_view name) const override {
    std::wstring path = path_ + L'\\' + std::wstring(name);
    if (!viewDecided_) return registry_.OpenReadOnly(root_, path, view_);
    std::shared_ptr<const InMemoryRegistry::Node> node = node_;
    for (const auto& part : SplitPath(name)) {
      const auto it = node->children.find(part);
      if (it == node->children.end()) return nullptr;
      node = it->second;
    }
    return std::make_unique<InMemoryKey>(std::move(node), registry_, root_, std::move(path), view_);
  }

 private:
  std::shared_ptr<const InMemoryRegistry::Node> node_;
  const InMemoryRegistry& registry_;
  RegistryRoot root_;
  std::wstring path_;
  RegistryView view_;
  bool viewDecided_;
};

}  // namespace

std::wstring PhysicalRegistryPath(RegistryRoot root, std::wstring_view path, RegistryView view) {
  auto parts = SplitPath(path);
  if (view == RegistryView::Bits32 && root == RegistryRoot::LocalMachine && !parts.empty() &&
      EqualsIgnoreCase(parts[0], L"SOFTWARE") && (parts.size() < 2 || !EqualsIgnoreCase(parts[1], L"WOW6432Node"))) {
    parts.insert(parts.begin() + 1, L"WOW6432Node");
  }
  std::wstring out;
  for (const auto& p : parts) {
    if (!out.empty()) out += L'\\';
    out += p;
  }
  return out;
}

InMemoryRegistry::Node::~Node() {
  std::vector<std::shared_ptr<Node>> doomed;
  for (auto& [_, child] : children) doomed.push_back(std::move(child));
  while (!doomed.empty()) {
    std::shared_ptr<Node> node = std::move(doomed.back());
    doomed.pop_back();
    // A key still open elsewhere keeps its subtree; it is taken apart when that handle goes.
    if (node.use_count() != 1) continue;
    for (auto& [_, child] : node->children) doomed.push_back(std::move(child));
    node->children.clear();
  }
}

InMemoryRegistry::InMemoryRegistry() {
  for (RegistryRoot r : {RegistryRoot::ClassesRoot, RegistryRoot::CurrentUser, RegistryRoot::LocalMachine,
                         RegistryRoot::Users, RegistryRoot::CurrentConfig}) {
    roots_[r] = std::make_shared<Node>();
  }
}

std::shared_ptr<InMemoryRegistry::Node> InMemoryRegistry::Find(RegistryRoot root,
                                                               std::wstring_view physicalPath) const {
  auto rootIt = roots_.find(root);
  if (rootIt == roots_.end()) return nullptr;
  std::shared_ptr<Node> node = rootIt->second;
  for (const auto& part : SplitPath(physicalPath)) {
    auto it = node->children.find(part);
    if (it == node->children.end()) return nullptr;
    node = it->second;
  }
  return node;
}

std::shared_ptr<InMemoryRegistry::Node> InMemoryRegistry::FindOrCreate(RegistryRoot root,
                                                                       std::wstring_view physicalPath) {
  std::shared_ptr<Node> node = roots_.at(root);
  for (const auto& part : SplitPath(physicalPath)) {
    auto& child = node->children[part];
    if (!child) {
      child = std::make_shared<Node>();
      child->name = part;
      node->lastWriteTime = child->lastWriteTime = ++clock_;
    }
    node = child;
  }
  return node;
}

void InMemoryRegistry::CreateKey(RegistryRoot root, std::wstring_view path) { FindOrCreate(root, path); }

void InMemoryRegistry::SetValue(RegistryRoot root, std::wstring_view path, std::wstring_view name,
                                RegistryValue value) {
  auto node = FindOrCreate(root, path);
  node->values[std::wstring(name)] = {std::wstring(name), std::move(value)};
  node->lastWriteTime = ++clock_;
}

void InMemoryRegistry::DeleteKey(RegistryRoot root, std::wstring_view path) {
  auto parts = SplitPath(path);
  if (parts.empty()) return;
  const std::wstring leaf = parts.back();
  parts.pop_back();
  std::wstring parentPath;
  for (const auto& p : parts) parentPath += p + L'\\';
  if (auto parent = Find(root, parentPath); parent && parent->children.erase(leaf) > 0) {
    parent->lastWriteTime = ++clock_;
  }
}

void InMemoryRegistry::DeleteValue(RegistryRoot root, std::wstring_view path, std::wstring_view name) {
  if (auto node = Find(root, path)) {
    auto it = node->values.find(name);
    if (it != node->values.end()) {
      node->values.erase(it);
      node->lastWriteTime = ++clock_;
    }
  }
}

std::unique_ptr<RegistryKey> InMemoryRegistry::OpenReadOnly(RegistryRoot root, std::wstring_view path,
                                                            RegistryView view) const {
  auto node = Find(root, PhysicalRegistryPath(root, path, view));
  if (!node) return nullptr;
  return std::make_unique<InMemoryKey>(std::move(node), *this, root, std::wstring(path), view);
}

}  // namespace nudgelet::platform
