// Text labels drawn from a TrueType font, anchored at their centre. Glyphs the
// font lacks come from a CJK-capable fallback font.
#pragma once

#include <memory>
#include <string>

#include "engine/node.h"
#include "engine/platform.h"

namespace engine {

class Label : public Node {
 public:
  // With Size::ZERO the label takes the size of its text; with other
  // dimensions the text wraps at the width and is aligned inside the box.
  static Label* createWithTTF(const std::string& text, const std::string& fontFilePath,
                              float fontSize, const Size& dimensions = Size::ZERO,
                              TextHAlignment hAlignment = TextHAlignment::LEFT,
                              TextVAlignment vAlignment = TextVAlignment::TOP);
  // The platform's default font (CJK-capable); `fontName` is not looked up.
  static Label* createWithSystemFont(const std::string& text, const std::string& fontName,
                                     float fontSize, const Size& dimensions = Size::ZERO,
                                     TextHAlignment hAlignment = TextHAlignment::LEFT,
                                     TextVAlignment vAlignment = TextVAlignment::TOP);
  static Label* create();
  ~Label() override;

  bool initWithTTF(const std::string& text, const std::string& fontFilePath, float fontSize,
                   const Size& dimensions, TextHAlignment hAlignment, TextVAlignment vAlignment);

  virtual void setString(const std::string& text);
  const std::string& getString() const { return text_; }

  void setDimensions(float width, float height);
  const Size& getDimensions() const { return dimensions_; }
  void setAlignment(TextHAlignment hAlignment);
  void setAlignment(TextHAlignment hAlignment, TextVAlignment vAlignment);
  void setHorizontalAlignment(TextHAlignment hAlignment);
  void setVerticalAlignment(TextVAlignment vAlignment);
  TextHAlignment getHorizontalAlignment() const { return hAlignment_; }
  TextVAlignment getVerticalAlignment() const { return vAlignment_; }
  // Wraps lines at this width without fixing the label's size; 0: no wrapping.
  void setMaxLineWidth(float width);
  float getMaxLineWidth() const { return maxLineWidth_; }

  // The colour of the glyphs (same as setColor).
  void setTextColor(const Color4B& color);
  float getFontSize() const { return fontSize_; }
  const std::string& getFontFile() const { return fontFile_; }

  void draw(const RenderContext& context, const Transform2D& nodeToWindow) override;

 protected:
  Label();

 private:
  void updateTexture();

  std::string text_;
  std::string fontFile_;
  float fontSize_ = 12;
  Size dimensions_;
  TextHAlignment hAlignment_ = TextHAlignment::LEFT;
  TextVAlignment vAlignment_ = TextVAlignment::TOP;
  float maxLineWidth_ = 0;
  std::shared_ptr<Texture> texture_;
};

}  // namespace engine
