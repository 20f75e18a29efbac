// One decoded server message and its per-seat entries. A record holds
// meaningful values only in the fields its kind fills; the rest keep these
// initial values.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct stSeatInfo {
  std::string name;
  std::int32_t ready = 0;
  std::int32_t result = 0;
};

struct stMsg {
  std::string opt;
  std::string online;
  std::string name;
  std::int32_t desk = -1;
  std::int32_t site = -1;
  std::string cards;
  std::int32_t per = -1;
  std::string surplus;
  std::int32_t now = -1;
  std::int32_t score = 0;
  std::int32_t must = 0;
  std::string p0;
  std::string p1;
  std::string version;
  std::array<stSeatInfo, 4> info;
};
