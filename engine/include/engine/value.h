// A configuration value: the text of one entry of the configuration dictionary.
#pragma once

#include <string>

namespace engine {

class Value {
 public:
  static const Value Null;

  Value() = default;
  explicit Value(std::string text) : text_(std::move(text)), null_(false) {}

  bool isNull() const { return null_; }
  // The null value reads as the empty text.
  const std::string& asString() const { return text_; }

 private:
  std::string text_;
  bool null_ = true;
};

}  // namespace engine
