// Property-list loading for the configuration dictionary, with pugixml.
#include "engine/configuration.h"

#include <pugixml.hpp>

#include "engine/file_utils.h"

namespace engine {

const Value Value::Null;

Configuration* Configuration::getInstance() {
  static Configuration instance;
  return &instance;
}

bool Configuration::loadConfigFile(const std::string& filename) {
  pugi::xml_document doc;
  std::string path = FileUtils::getInstance()->fullPathForFilename(filename);
  if (!doc.load_file(path.c_str())) return false;
  pugi::xml_node dict = doc.child("plist").child("dict");
  if (!dict) return false;
  for (pugi::xml_node key = dict.child("key"); key; key = key.next_sibling("key")) {
    pugi::xml_node value = key.next_sibling();
    if (!value) break;
    std::string type = value.name();
    if (type == "string" || type == "integer" || type == "real") {
      values_.insert_or_assign(key.text().get(), Value(value.text().get()));
    } else if (type == "true" || type == "false") {
      values_.insert_or_assign(key.text().get(), Value(type));
    }
  }
  return true;
}

const Value& Configuration::getValue(const std::string& key, const Value& defaultValue) const {
  auto it = values_.find(key);
  return it == values_.end() ? defaultValue : it->second;
}

void Configuration::setValue(const std::string& key, const Value& value) {
  values_.insert_or_assign(key, value);
}

void Configuration::clear() {
  values_.clear();
}

}  // namespace engine
