// A connected client and its scripted peer, with the boxes recorded.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "net/message_queue.h"
#include "test_support/message_box_recorder.h"
#include "test_support/server_peer.h"

// Waits for the next record, polling as a scene's tick would; null on time-out.
inline std::shared_ptr<stMsg> popWithin(
    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (auto message = CMessageQueue::getInstance()->popMessage()) return message;
    if (std::chrono::steady_clock::now() > deadline) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.listening());
    peer.configureClient();
    ASSERT_TRUE(queue->connect());
    ASSERT_TRUE(peer.accept());
  }
  void TearDown() override { queue->disconnect(); }

  CMessageQueue* queue = CMessageQueue::getInstance();
  test_support::MessageBoxRecorder boxes;
  test_support::ServerPeer peer;
};
