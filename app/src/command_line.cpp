// Parsing of the client's command line.
#include "app/command_line.h"

namespace app {

stCommandLine parseCommandLine(const std::vector<std::string>& args) {
  stCommandLine result;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      result.help = true;
    } else if (arg == "--config" || arg == "-c") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        result.error = "option " + arg + " needs a file name";
        return result;
      }
      result.configFile = args[++i];
    } else if (arg.rfind("--config=", 0) == 0) {
      result.configFile = arg.substr(9);
      if (result.configFile.empty()) {
        result.error = "option --config needs a file name";
        return result;
      }
    } else {
      result.error = "unknown argument '" + arg + "'";
      return result;
    }
  }
  return result;
}

std::string usageText(const std::string& program) {
  return "Usage: " + program +
         " [--config FILE] [--help]\n"
         "\n"
         "Desktop client of the Quartet card game: opens the lobby on the server\n"
         "named in the configuration.\n"
         "\n"
         "  -c, --config FILE  read the settings from FILE (a property list with the\n"
         "                     keys 'title' and 'host', and optionally 'port') instead\n"
         "                     of the bundled config/strings.plist\n"
         "  -h, --help         show this help and exit\n";
}

}  // namespace app
