// The client's command line: `quartet [--config FILE] [--help]`.
#pragma once

#include <string>
#include <vector>

namespace app {

struct stCommandLine {
  bool help = false;
  std::string configFile;  // empty: the bundled config/strings.plist
  std::string error;       // set when the arguments can not be understood
};

stCommandLine parseCommandLine(const std::vector<std::string>& args);
std::string usageText(const std::string& program);

}  // namespace app
