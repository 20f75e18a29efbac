// Labels drawn from a character-map image of equal cells (digits, typically),
// anchored at their centre. A minus sign, which digit maps lack, is drawn as
// a bar in the glyphs' colour.
#pragma once

#include <memory>
#include <string>

#include "engine/node.h"
#include "engine/platform.h"

namespace engine {

class LabelAtlas : public Node {
 public:
  // The map holds cells of itemWidth x itemHeight, row by row from the
  // top-left corner, for the characters from `startCharMap` on.
  static LabelAtlas* create(const std::string& text, const std::string& charMapFile, int itemWidth,
                            int itemHeight, int startCharMap);
  static LabelAtlas* create();

  bool initWithString(const std::string& text, const std::string& charMapFile, int itemWidth,
                      int itemHeight, int startCharMap);

  void setString(const std::string& text);
  const std::string& getString() const { return text_; }

  void draw(const RenderContext& context, const Transform2D& nodeToWindow) override;

 protected:
  LabelAtlas() = default;

 private:
  void updateSize();

  std::string text_;
  std::string charMapFile_;
  int itemWidth_ = 0;
  int itemHeight_ = 0;
  int startChar_ = 0;
};

}  // namespace engine
