#include "usagestats/PostBody.h"

#include "base/Json.h"

namespace nudgelet::usagestats {

std::string BuildPostBody(const ClientInfo& client, const UtcTime& sentAt, const std::vector<std::string>& eventLines) {
  std::string body = "{\"client\":{\"product\":";
  AppendJsonString(body, client.product);
  body += ",\"version\":";
  AppendJsonString(body, client.version);
  body += ",\"company\":";
  AppendJsonString(body, client.company);
  body += "},\"sent\":\"" + FormatUtcTime(sentAt) + "\",\"events\":[";
  for (std::size_t i = 0; i < eventLines.size(); ++i) {
    if (i > 0) body.push_back(',');
    body += eventLines[i];
  }
  body += "]}";
  return body;
}

}  // namespace nudgelet::usagestats
