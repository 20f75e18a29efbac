// The process-wide link to the game server: one TCP connection, the receive
// thread that decodes every inbound frame, and the bounded inbound queue from
// which the scenes take records on the main thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/framing.h"
#include "net/message.h"
#include "net/protocol.h"

class CMessageQueue {
 public:
  static CMessageQueue* getInstance();

  // Connects to the configured "host" (dotted-decimal IPv4, never resolved)
  // on the configured "port" (decimal; kServerPort when absent) and starts the
  // receive thread. A connection held before is ended first.
  bool connect();
  // Ends the connection: the socket is shut down, the receive thread wakes,
  // stops without a box and is joined; records not yet taken are dropped.
  // Main thread only (never from a box handler), also when not connected.
  // The singleton's clean-up at exit does the same; a client calls it when
  // its main loop ends, while the engine's services still stand.
  void disconnect();

  // Sends one frame holding `text`; main thread only. Shows a box on failure.
  bool sendMessage(const std::string& text);

  // The oldest record not yet taken, or null; never waits.
  std::shared_ptr<stMsg> popMessage();
  // How many records wait in the queue.
  std::size_t size();

  // Receive-thread side: reads one frame's text into `buffer`, showing the
  // box of the failure when it cannot.
  bool receiveFrame(std::string& buffer);
  // The receive thread's body.
  void receiveLoop();

  ~CMessageQueue();
  CMessageQueue(const CMessageQueue&) = delete;
  CMessageQueue& operator=(const CMessageQueue&) = delete;

 private:
  CMessageQueue() = default;

  // Appends in order, waiting for room as needed; false when the thread must
  // stop instead.
  bool appendMessages(std::vector<std::shared_ptr<stMsg>>& batch);
  bool stopping() const { return stopping_.load(std::memory_order_acquire); }

  std::deque<std::shared_ptr<stMsg>> messages_;
  std::mutex mutex_;
  std::condition_variable room_;

  int socket_ = -1;
  std::thread receiver_;
  std::atomic<bool> stopping_{false};
  // Receive-thread state: bytes read from the socket and not yet framed.
  CFrameDecoder decoder_;
};
