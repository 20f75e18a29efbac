// quartet-server: the reference table server with computer players.
#include <iostream>
#include <string>

#include "server/options.h"
#include "server/server.h"

int main(int argc, char** argv) {
  server::stServerOptions options;
  std::string message;
  switch (server::parseServerOptions(argc, argv, options, message)) {
    case server::OptionsResult::Help:
      std::cout << server::serverUsage(argv[0]);
      return 0;
    case server::OptionsResult::Error:
      std::cerr << argv[0] << ": " << message << '\n' << server::serverUsage(argv[0]);
      return 2;
    case server::OptionsResult::Run:
      break;
  }
  server::CServer srv(options);
  if (!srv.listen(message)) {
    std::cerr << argv[0] << ": " << message << '\n';
    return 1;
  }
  std::cerr << "listening on " << srv.address() << ":" << srv.port() << std::endl;
  srv.run(true);
  return 0;
}
