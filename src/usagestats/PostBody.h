#pragma once
// The body of one statistics post:
//   {"client":{"product":"ph1","version":"1.2.0","company":"corvane"},
//    "sent":"2024-05-01T12:35:00.000Z","events":[<event line>,<event line>,...]}
// "client" names the program that sends; each event keeps its own product and
// version, since one cache serves every program of the user.

#include <string>
#include <vector>

#include "usagestats/StatEvent.h"

namespace nudgelet::usagestats {

struct ClientInfo {
  std::wstring product;
  std::wstring version;
  std::wstring company;
};

// eventLines are cache lines without line feeds, each a complete JSON object.
std::string BuildPostBody(const ClientInfo& client, const UtcTime& sentAt, const std::vector<std::string>& eventLines);

}  // namespace nudgelet::usagestats
