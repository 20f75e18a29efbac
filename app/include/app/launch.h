// The client's whole run from its command line: help, argument errors and
// missing resources are answered before the engine starts.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace app {

struct stLaunchOptions {
  std::string program = "quartet";
  // Says why no window can be opened, or gives the empty text when one can.
  std::function<std::string()> checkDisplay;
};

// Exit status: 0 after a normal run or --help, 1 when start-up fails
// (resources, display, server, images), 2 for arguments not understood.
int runClient(const std::vector<std::string>& args, const stLaunchOptions& options,
              std::ostream& out, std::ostream& err);

// The first resource file the client can not start without that is missing,
// or the empty text. `configFile` empty means the bundled configuration.
std::string missingResource(const std::string& configFile);

}  // namespace app
