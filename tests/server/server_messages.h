// Reading the server's messages in tests: every value must be a JSON string.
#pragma once

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <array>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

struct stSeen {
  std::string opt;
  std::map<std::string, std::string> fields;
  std::array<std::pair<std::string, std::string>, 4> info;  // name, ready or result
  int num(const std::string& key) const { return std::atoi(fields.at(key).c_str()); }
  const std::string& str(const std::string& key) const { return fields.at(key); }
};

// Fails the test when a value is not a string or "info" is not four objects.
inline stSeen readMessage(const std::string& text) {
  stSeen m;
  rapidjson::Document doc;
  doc.Parse(text.c_str(), text.size());
  EXPECT_FALSE(doc.HasParseError()) << text;
  if (doc.HasParseError() || !doc.IsObject()) return m;
  // Const iterators: comparing mutable ones is ambiguous in C++20.
  const rapidjson::Value& root = doc;
  for (auto it = root.MemberBegin(); it != root.MemberEnd(); ++it) {
    std::string key = it->name.GetString();
    if (key == "info") {
      EXPECT_TRUE(it->value.IsArray() && it->value.Size() == 4) << text;
      if (!it->value.IsArray()) continue;
      for (rapidjson::SizeType i = 0; i < it->value.Size() && i < 4; ++i) {
        const auto& seat = it->value[i];
        for (auto f = seat.MemberBegin(); f != seat.MemberEnd(); ++f) {
          EXPECT_TRUE(f->value.IsString()) << text;
          if (!f->value.IsString()) continue;
          std::string k = f->name.GetString();
          (k == "name" ? m.info[i].first : m.info[i].second) = f->value.GetString();
        }
      }
      continue;
    }
    EXPECT_TRUE(it->value.IsString()) << key << " in " << text;
    if (it->value.IsString()) m.fields[key] = it->value.GetString();
  }
  m.opt = m.fields["opt"];
  return m;
}
