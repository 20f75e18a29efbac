// Buttons: a widget showing a normal, a pressed and a disabled image,
// anchored at its centre, with the size of its normal image.
#pragma once

#include <memory>
#include <string>

#include "engine/ui_widget.h"

namespace engine::ui {

class Button : public Widget {
 public:
  enum class State { NORMAL, PRESSED, DISABLED };

  // LOCAL loads the images as files, PLIST takes them from the sprite-frame
  // cache by name. An empty pressed or disabled image falls back to the normal one.
  static Button* create(const std::string& normalImage, const std::string& selectedImage = "",
                        const std::string& disableImage = "",
                        TextureResType texType = TextureResType::LOCAL);
  static Button* create();

  bool init(const std::string& normalImage, const std::string& selectedImage,
            const std::string& disableImage, TextureResType texType);
  void loadTextures(const std::string& normal, const std::string& selected,
                    const std::string& disabled, TextureResType texType = TextureResType::LOCAL);
  void loadTextureNormal(const std::string& normal, TextureResType texType = TextureResType::LOCAL);
  void loadTexturePressed(const std::string& selected,
                          TextureResType texType = TextureResType::LOCAL);
  void loadTextureDisabled(const std::string& disabled,
                           TextureResType texType = TextureResType::LOCAL);

  // The image shown now.
  State getShownState() const;
  // The file (or frame name) of the image shown now.
  const std::string& getShownImage() const;

  void draw(const RenderContext& context, const Transform2D& nodeToWindow) override;

 protected:
  Button() = default;
  void onPressStateChanged() override;

 private:
  struct Face {
    std::string name;
    TextureResType type = TextureResType::LOCAL;
  };
  const Face& shownFace() const;
  void drawFace(const Face& face, const RenderContext& context, const Transform2D& nodeToWindow);

  Face normal_;
  Face pressed_;
  Face disabled_;
};

}  // namespace engine::ui
