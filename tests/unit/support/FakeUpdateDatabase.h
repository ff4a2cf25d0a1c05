#pragma once
// An update database in memory that answers the four queries the way the SQL
// statements do: the database's DisplayName must occur in the installed name
// (case-sensitive; an empty one occurs in every name, as instr() has it) and
// the installed publisher in the database's (ASCII case ignored); two or more
// such products fall back to a prefix match.

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/Strings.h"
#include "detection/UpdateQueries.h"

namespace nudgelet::testing {

class FakeUpdateDatabase final : public detection::UpdateQueries {
 public:
  struct Product {
    std::wstring key;
    std::map<std::wstring, std::wstring, LessIgnoreCase> base;  // DisplayName, Publisher, SoftName, ...
  };

  Product& Add(const std::wstring& key, const std::wstring& displayName, const std::wstring& publisher) {
    products.push_back(Product{key, {{L"DisplayName", displayName}, {L"Publisher", publisher}}});
    return products.back();
  }
  void Down(const std::wstring& key, int bit, std::map<std::wstring, std::wstring, LessIgnoreCase> fields) {
    down[{key, bit, 1}] = std::move(fields);
  }

  std::wstring FindKey(const std::wstring& displayName, const std::wstring& publisher) const override {
    auto first = Matching(displayName, publisher, nullptr, false);
    if (first.size() == 1) return first[0];
    if (first.size() < 2) return {};
    auto second = Matching(displayName, publisher, nullptr, true);
    return second.size() == 1 ? second[0] : L"";
  }

  std::wstring FindKeyBySoftName(const std::wstring& displayName, const std::wstring& publisher,
                                 const std::wstring& softName) const override {
    auto rows = Matching(displayName, publisher, &softName, false);
    return rows.size() == 1 ? rows[0] : L"";
  }

  std::wstring GetBaseField(const std::wstring& key, const std::wstring& column) const override {
    for (const auto& p : products) {
      if (p.key != key) continue;
      auto it = p.base.find(column);
      return it == p.base.end() ? L"" : it->second;
    }
    return {};
  }

  std::wstring GetDownField(const std::wstring& key, int bit, int lanId, const std::wstring& column) const override {
    auto row = down.find({key, bit, lanId});
    if (row == down.end()) return {};
    auto it = row->second.find(column);
    return it == row->second.end() ? L"" : it->second;
  }

  std::vector<Product> products;
  std::map<std::tuple<std::wstring, int, int>, std::map<std::wstring, std::wstring, LessIgnoreCase>> down;

 private:
  static std::wstring AsciiUpper(std::wstring s) {
    for (auto& c : s) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    }
    return s;
  }

  std::vector<std::wstring> Matching(const std::wstring& name, const std::wstring& publisher,
                                     const std::wstring* softName, bool prefix) const {
    std::vector<std::wstring> keys;
    for (const auto& p : products) {
      const std::wstring dbName = p.base.at(L"DisplayName");
      const bool nameOk =
          prefix ? AsciiUpper(dbName).rfind(AsciiUpper(name), 0) == 0 : name.find(dbName) != std::wstring::npos;
      const bool publisherOk = AsciiUpper(p.base.at(L"Publisher")).find(AsciiUpper(publisher)) != std::wstring::npos;
      bool softOk = true;
      if (softName) {
        auto it = p.base.find(L"SoftName");
        softOk = it != p.base.end() && AsciiUpper(it->second).find(AsciiUpper(*softName)) != std::wstring::npos;
      }
      if (nameOk && publisherOk && softOk) keys.push_back(p.key);
    }
    return keys;
  }
};

}  // namespace nudgelet::testing
