// libFuzzer target for the statistics cache: every program of the user appends
// to it, and a crash can leave anything in it. Reading any bytes gives only
// complete events, and the rules that keep and send events neither invent nor
// lose any. An event written from any texts reads back with the same product
// and event code; a JSON string written from any text reads back as that text.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/Json.h"
#include "base/Strings.h"
#include "usagestats/CacheRules.h"
#include "usagestats/StatEvent.h"

using nudgelet::fuzz::Check;
using namespace nudgelet::usagestats;

namespace {

void CheckLines(const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    Check(line.find('\n') == std::string::npos);
    Check(ReadEventLine(line).has_value());
  }
}

void CheckRules(const std::vector<std::string>& lines, std::size_t budget) {
  // The file the rules write reads back as the same events; only a stray CR
  // before a line's end is lost, which is blank after the object.
  const auto again = EventLines(JoinCacheLines(lines));
  Check(again.size() == lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) Check(again[i] == lines[i] || again[i] + "\r" == lines[i]);

  const auto kept = KeepNewest(lines, budget);
  Check(JoinCacheLines(kept).size() <= budget);
  Check(kept.size() <= lines.size() &&
        std::equal(kept.begin(), kept.end(), lines.end() - static_cast<std::ptrdiff_t>(kept.size())));

  // Sending the oldest events removes exactly those, whatever came since.
  const std::vector<std::string> sent(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(lines.size() / 2));
  const auto rest = WithoutSent(lines, sent);
  Check(rest.size() == lines.size() - sent.size());
  Check(WithoutSent(lines, lines).empty());

  // Selecting a product and its complement splits the events.
  if (!lines.empty()) {
    const std::wstring product = ReadEventLine(lines.front())->product;
    const auto mine = SelectProduct(lines, product);
    const auto others = SelectProduct(lines, product, false);
    Check(!mine.empty() && mine.size() + others.size() == lines.size());
  }
  Check(SelectProduct(lines, L"") == lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (bool midLine : {false, true}) {
    const auto lines = EventLines(bytes, midLine);
    CheckLines(lines);
    CheckRules(lines, size / 2);
  }

  // The whole input as one object.
  nudgelet::ParseJsonObject(bytes);

  // The input's halves as texts: written out, they read back unchanged.
  const std::wstring product = nudgelet::Utf8ToWide(bytes.substr(0, size / 2));
  const std::wstring code = nudgelet::Utf8ToWide(bytes.substr(size / 2));
  const auto fields =
      nudgelet::ParseJsonObject("{" + nudgelet::JsonString(product) + ":" + nudgelet::JsonString(code) + "}");
  Check(fields && fields->strings.size() == 1);
  Check(nudgelet::Utf8ToWide(fields->strings.begin()->first) == product && fields->strings.begin()->second == code);

  StatEvent event;
  event.id = L"0123456789abcdef0123456789abcdef";
  event.product = product;
  event.event = code;
  event.number = static_cast<std::int32_t>(size) - 4096;
  const std::string line = FormatEventLine(event);
  const auto read = EventLines(line);
  if (product.empty() || code.empty()) {
    Check(read.empty());
  } else {
    Check(read.size() == 1 && line == read.front() + "\n");
    const auto back = ReadEventLine(read.front());
    Check(back && back->product == product && back->event == code);
  }
  return 0;
}
