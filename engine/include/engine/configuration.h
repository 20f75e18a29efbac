// The process-wide configuration dictionary, loaded from a property-list file.
#pragma once

#include <map>
#include <string>

#include "engine/value.h"

namespace engine {

class Configuration {
 public:
  static Configuration* getInstance();

  // Reads the top-level <dict> of an XML property list and adds its string,
  // integer and real entries. A missing or unreadable file adds nothing.
  bool loadConfigFile(const std::string& filename);

  // The value under `key`, or `defaultValue` when the key is absent.
  const Value& getValue(const std::string& key, const Value& defaultValue = Value::Null) const;
  void setValue(const std::string& key, const Value& value);
  void clear();

 private:
  std::map<std::string, Value> values_;
};

}  // namespace engine
