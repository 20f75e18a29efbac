// The client's entry: the command line, then the engine's main loop on the
// SDL window.
#include <SDL.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/launch.h"

namespace {

// The engine would fall back to drawing nowhere; a player needs to be told.
std::string checkDisplay() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return SDL_GetError();
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  app::stLaunchOptions options;
  options.checkDisplay = checkDisplay;
  return app::runClient(std::vector<std::string>(argv + 1, argv + argc), options, std::cout,
                        std::cerr);
}
