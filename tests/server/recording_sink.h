// A table sink that keeps every message per seat, for socket-free tests.
#pragma once

#include <string>
#include <vector>

#include "server/lobby.h"
#include "server/table.h"

struct stSent {
  int connection;
  std::string text;
};

class CRecordingSink : public server::ITableSink, public server::IOutbox {
 public:
  std::vector<stSent> sent;
  std::vector<int> releasedConnections;
  std::vector<std::string> logLines;
  std::vector<std::vector<std::string>> seen = std::vector<std::vector<std::string>>(4);

  void send(int connection, const std::string& text) override {
    sent.push_back({connection, text});
  }
  void released(int connection) override { releasedConnections.push_back(connection); }
  void log(const std::string& line) override { logLines.push_back(line); }
  void observe(int, int site, const std::string& text) override { seen[site].push_back(text); }

  std::vector<std::string> to(int connection) const {
    std::vector<std::string> out;
    for (const stSent& s : sent)
      if (s.connection == connection) out.push_back(s.text);
    return out;
  }
  void clear() {
    sent.clear();
    for (auto& s : seen) s.clear();
  }
};
