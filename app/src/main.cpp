// The client's entry: the command line, then the engine's main loop on the
// SDL window.
#include <SDL.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/launch.h"

namespace {

// Without a display SDL falls back to drawing offscreen, where nobody sees the
// game or can close its boxes; unless that is asked for, say so and stop.
std::string checkDisplay() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return SDL_GetError();
  const std::string driver = SDL_GetCurrentVideoDriver();
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  if ((driver == "offscreen" || driver == "dummy") &&
      (requested == nullptr || driver != requested)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return "no display is available (is DISPLAY set?)";
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  app::stLaunchOptions options;
  options.checkDisplay = checkDisplay;
  return app::runClient(std::vector<std::string>(argv + 1, argv + argc), options, std::cout,
                        std::cerr);
}
