// Request texts, built by plain concatenation.
#include "net/requests.h"

#include <string_view>

namespace {

std::string deskSite(std::string_view head, std::int32_t desk, std::int32_t site) {
  std::string text(head);
  text += "\"desk\":";
  text += std::to_string(desk);
  text += ",\"site\":";
  text += std::to_string(site);
  return text;
}

}  // namespace

std::string onlineQueryRequest() {
  return R"({"opt":"query"})";
}

std::string quickJoinRequest() {
  return R"({"opt":"add"})";
}

std::string readyRequest(std::int32_t desk, std::int32_t site) {
  return deskSite(R"({"opt":"change","type":"ready",)", desk, site) + "}";
}

std::string leaveRequest(std::int32_t desk, std::int32_t site) {
  return deskSite(R"({"opt":"change","type":"leave",)", desk, site) + "}";
}

std::string passRequest(std::int32_t desk, std::int32_t site) {
  return deskSite(R"({"opt":"game",)", desk, site) + R"(,"cards":""})";
}

std::string playRequest(std::int32_t desk, std::int32_t site, std::span<const std::int32_t> cards) {
  std::string text = deskSite(R"({"opt":"game",)", desk, site) + R"(,"cards":")";
  for (std::int32_t card : cards) {
    text += std::to_string(card);
    text += ',';
  }
  text += "\"}";
  return text;
}

std::string autoLeadRequest(std::int32_t desk, std::int32_t site, std::int32_t card) {
  return deskSite(R"({"opt":"game",)", desk, site) + R"(,"cards":")" + std::to_string(card) + "\"}";
}
