// The texts of every request the client sends, byte for byte. Numbers are
// written as plain decimal JSON numbers; nothing else varies.
#pragma once

#include <cstdint>
#include <span>
#include <string>

std::string onlineQueryRequest();
std::string quickJoinRequest();
std::string readyRequest(std::int32_t desk, std::int32_t site);
std::string leaveRequest(std::int32_t desk, std::int32_t site);
std::string passRequest(std::int32_t desk, std::int32_t site);
// Every code is followed by a comma, the last one included.
std::string playRequest(std::int32_t desk, std::int32_t site, std::span<const std::int32_t> cards);
// One code with no comma after it.
std::string autoLeadRequest(std::int32_t desk, std::int32_t site, std::int32_t card);
