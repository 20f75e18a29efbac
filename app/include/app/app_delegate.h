// The application delegate: start-up (configuration, window, resolution,
// server connection, sprite frames, lobby) and the background hooks.
#pragma once

#include <string>

#include "engine/application.h"

class AppDelegate : public engine::Application {
 public:
  // `configFile` replaces the bundled config/strings.plist when not empty.
  explicit AppDelegate(std::string configFile = {});
  ~AppDelegate() override;

  void initGLContextAttrs() override;
  bool applicationDidFinishLaunching() override;
  void applicationDidEnterBackground() override;
  void applicationWillEnterForeground() override;

 private:
  std::string configFile_;
};
