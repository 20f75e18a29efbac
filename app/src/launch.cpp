// From the command line to the engine's main loop.
#include "app/launch.h"

#include <filesystem>

#include "app/app_delegate.h"
#include "app/command_line.h"
#include "engine/file_utils.h"
#include "net/message_queue.h"

namespace app {

namespace {
constexpr const char* kBundledConfig = "config/strings.plist";
constexpr const char* kFont = "fonts/arial.ttf";
}  // namespace

std::string missingResource(const std::string& configFile) {
  const engine::FileUtils* files = engine::FileUtils::getInstance();
  const std::string config = configFile.empty() ? kBundledConfig : configFile;
  for (const std::string& name : {config, std::string(kFont)}) {
    if (!files->isFileExist(name)) return name;
  }
  return {};
}

int runClient(const std::vector<std::string>& args, const stLaunchOptions& options,
              std::ostream& out, std::ostream& err) {
  const stCommandLine line = parseCommandLine(args);
  if (!line.error.empty()) {
    err << options.program << ": " << line.error << "\n"
        << "Try '" << options.program << " --help' for more information.\n";
    return 2;
  }
  if (line.help) {
    out << usageText(options.program);
    return 0;
  }

  // A configuration named on the command line is the user's, relative to
  // where they started the program; the bundled files sit beside it.
  std::string configFile;
  if (!line.configFile.empty()) {
    std::error_code error;
    configFile = std::filesystem::absolute(line.configFile, error).string();
    if (error) configFile = line.configFile;
  }
  const std::string missing = missingResource(configFile);
  if (!missing.empty()) {
    err << options.program << ": can not find '" << missing << "'";
    if (missing == configFile) {
      err << "\n";
    } else {
      err << " beside the program (" << engine::FileUtils::getExecutableDirectory()
          << ") or in the working directory; the installation is incomplete\n";
    }
    return 1;
  }
  if (options.checkDisplay) {
    const std::string reason = options.checkDisplay();
    if (!reason.empty()) {
      err << options.program << ": can not open the game window: " << reason << "\n";
      return 1;
    }
  }

  AppDelegate delegate(configFile);
  const int status = engine::Application::getInstance()->run();
  // Stop the receive thread while everything it touches still exists, rather
  // than leave it to the order of static clean-up.
  CMessageQueue::getInstance()->disconnect();
  return status;
}

}  // namespace app
