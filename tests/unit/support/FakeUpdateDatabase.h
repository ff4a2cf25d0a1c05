#pragma once
// An update database in memory for the matching's tests: a product is found
// when its DisplayName occurs in the installed name (case-sensitive) and the
// installed publisher in its own (ASCII case ignored), and only when just one
// product is. How the statements tell several apart is theirs to test.

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/Strings.h"
#include "detection/UpdateQueries.h"

namespace nudgelet::testing {

class FakeUpdateDatabase final : public detection::UpdateQueries {
 public:
  using Fields = std::map<std::wstring, std::wstring, LessIgnoreCase>;
  struct Product {
    std::wstring key;
    Fields base;  // DisplayName, Publisher, MainExeName, ...
  };

  Product& Add(const std::wstring& key, const std::wstring& displayName, const std::wstring& publisher) {
    products.push_back(Product{key, {{L"DisplayName", displayName}, {L"Publisher", publisher}}});
    return products.back();
  }
  void Down(const std::wstring& key, int bit, Fields fields) { down[{key, bit, 1}] = std::move(fields); }

  std::wstring FindKey(const std::wstring& displayName, const std::wstring& publisher) const override {
    std::vector<std::wstring> keys;
    for (const auto& p : products) {
      if (displayName.find(p.base.at(L"DisplayName")) != std::wstring::npos &&
          AsciiUpper(p.base.at(L"Publisher")).find(AsciiUpper(publisher)) != std::wstring::npos) {
        keys.push_back(p.key);
      }
    }
    return keys.size() == 1 ? keys[0] : L"";
  }
  std::wstring FindKeyBySoftName(const std::wstring&, const std::wstring&, const std::wstring&) const override {
    return {};
  }
  std::wstring GetBaseField(const std::wstring& key, const std::wstring& column) const override {
    for (const auto& p : products) {
      if (p.key == key) return Field(p.base, column);
    }
    return {};
  }
  std::wstring GetDownField(const std::wstring& key, int bit, int lanId, const std::wstring& column) const override {
    auto row = down.find({key, bit, lanId});
    return row == down.end() ? L"" : Field(row->second, column);
  }

  std::vector<Product> products;
  std::map<std::tuple<std::wstring, int, int>, Fields> down;

 private:
  static std::wstring Field(const Fields& fields, const std::wstring& column) {
    auto it = fields.find(column);
    return it == fields.end() ? L"" : it->second;
  }
  static std::wstring AsciiUpper(std::wstring s) {
    for (auto& c : s) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    }
    return s;
  }
};

}  // namespace nudgelet::testing
