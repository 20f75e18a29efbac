// Option parsing: "--name value" and "--name=value".
#include "server/options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace server {
namespace {

template <typename T>
bool parseNumber(std::string_view text, T& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool parseSeconds(std::string_view text, double& out, bool allowZero) {
  double v = 0;
  if (!parseNumber(text, v) || !std::isfinite(v) || v < 0 || (!allowZero && v == 0) || v > 1e6)
    return false;
  out = v;
  return true;
}

}  // namespace

std::string serverUsage(const char* program) {
  return std::string("usage: ") + program +
         " [options]\n"
         "Reference table server: four seats a table, two decks, computer players on request.\n"
         "  --host ADDR          address to listen on (default 127.0.0.1)\n"
         "  --port N             port to listen on (default 9999; 0 picks a free one)\n"
         "  --bots               computer players fill the other seats of a table a player joins\n"
         "  --seed N             repeatable deals\n"
         "  --turn-timeout S     seconds before a turn is played for the seat (default 35)\n"
         "  --ready-timeout S    seconds a seated player may stay unready (default 120)\n"
         "  --bot-delay S        seconds a computer player waits before it plays (default 0.5)\n"
         "  --max-clients N      connections accepted at once (default 4096)\n"
         "  --quiet              no log of connections and games\n"
         "  --help               this text\n";
}

OptionsResult parseServerOptions(int argc, const char* const* argv, stServerOptions& options,
                                 std::string& message) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view name = arg, value;
    bool inlineValue = false;
    if (auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    auto takeValue = [&]() -> bool {
      if (inlineValue) return true;
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    auto fail = [&](const std::string& why) {
      message = std::string(name) + ": " + why;
      return OptionsResult::Error;
    };

    if (name == "--help" || name == "-h") return OptionsResult::Help;
    if (name == "--bots" || name == "--quiet") {
      if (inlineValue) return fail("takes no value");
      (name == "--bots" ? options.bots : options.quiet) = true;
      continue;
    }
    if (name != "--host" && name != "--port" && name != "--seed" && name != "--turn-timeout" &&
        name != "--ready-timeout" && name != "--bot-delay" && name != "--max-clients") {
      message = "unknown option " + std::string(arg);
      return OptionsResult::Error;
    }
    if (!takeValue()) return fail("needs a value");
    if (name == "--host") {
      if (value.empty()) return fail("needs an address");
      options.host = value;
    } else if (name == "--port") {
      if (!parseNumber(value, options.port)) return fail("not a port: " + std::string(value));
    } else if (name == "--seed") {
      std::uint64_t seed = 0;
      if (!parseNumber(value, seed)) return fail("not a number: " + std::string(value));
      options.seed = seed;
    } else if (name == "--max-clients") {
      if (!parseNumber(value, options.maxClients) || options.maxClients == 0)
        return fail("not a count: " + std::string(value));
    } else {
      double& target = name == "--turn-timeout"    ? options.turnTimeout
                       : name == "--ready-timeout" ? options.readyTimeout
                                                   : options.botDelay;
      if (!parseSeconds(value, target, name == "--bot-delay"))
        return fail("not a number of seconds: " + std::string(value));
    }
  }
  return OptionsResult::Run;
}

}  // namespace server
