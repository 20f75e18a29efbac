// The application object: the program derives from it, and run() drives
// start-up and the main loop through its overridable operations.
#pragma once

#include <string>

namespace engine {

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The one application object (the most recently constructed).
  static Application* getInstance();

  // Calls initGLContextAttrs, then applicationDidFinishLaunching; when that
  // gives true, runs the main loop until the window closes or the director
  // ends. Returns the process exit code: 0, or 1 when launching failed.
  int run();

  virtual bool applicationDidFinishLaunching() = 0;
  virtual void applicationDidEnterBackground() = 0;
  virtual void applicationWillEnterForeground() = 0;
  virtual void setAnimationInterval(float interval);
  virtual void initGLContextAttrs() {}
  virtual std::string getCurrentLanguageCode() const { return "en"; }
  virtual std::string getVersion() const { return ""; }
  virtual bool openURL(const std::string& /*url*/) { return false; }
};

}  // namespace engine
