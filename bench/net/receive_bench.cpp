// Throughput of the receive path: a peer on loopback writes game frames, the
// receive thread frames, decodes and queues them while the main side pops.
// Beside it, rapidjson parsing the same texts into a Document, and decoding
// alone, in the same run.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "engine/message_box.h"
#include "net/decoder.h"
#include "net/framing.h"
#include "net/message_queue.h"
#include "test_support/server_peer.h"

namespace {

constexpr int kFrames = 20000;

const std::vector<std::string>& gameTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> made;
    for (int i = 0; i < kFrames; ++i) {
      std::string cards;
      for (int k = 0; k < 1 + i % 8; ++k) cards += std::to_string((i * 7 + k * 3) % 54) + ",";
      made.push_back(R"({"opt":"game","per":")" + std::to_string(i % 4) + R"(","surplus":")" +
                     std::to_string(27 - i % 27) + R"(","now":")" + std::to_string((i + 1) % 4) +
                     R"(","cards":")" + cards + R"(","score":")" + std::to_string(i % 300) +
                     R"(","must":")" + std::to_string(i % 5 == 0) + R"("})");
    }
    return made;
  }();
  return texts;
}

std::size_t textBytes() {
  std::size_t total = 0;
  for (const auto& text : gameTexts()) total += text.size();
  return total;
}

void report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(textBytes()));
}

void BM_RapidjsonDocumentParse(benchmark::State& state) {
  const auto& texts = gameTexts();
  for (auto _ : state) {
    for (const auto& text : texts) {
      rapidjson::Document document;
      document.Parse(text.c_str());
      benchmark::DoNotOptimize(document.HasParseError());
    }
  }
  report(state);
}
// By CPU time, and by wall time to set beside the loopback path's wall rate.
BENCHMARK(BM_RapidjsonDocumentParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidjsonDocumentParse)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeMessage(benchmark::State& state) {
  const auto& texts = gameTexts();
  CMessageDecoder decoder;
  for (auto _ : state) {
    for (const auto& text : texts) {
      auto message = std::make_shared<stMsg>();
      benchmark::DoNotOptimize(decoder.decode(text, *message));
    }
  }
  report(state);
}
BENCHMARK(BM_DecodeMessage)->Unit(benchmark::kMillisecond);

void BM_FrameDecoder(benchmark::State& state) {
  std::string stream;
  for (const auto& text : gameTexts()) stream += encodeFrame(text);
  std::string text;
  for (auto _ : state) {
    CFrameDecoder decoder;
    for (std::size_t at = 0; at < stream.size(); at += 16384) {
      decoder.feed(std::string_view(stream).substr(at, 16384));
      while (decoder.next(text) == CFrameDecoder::Result::kFrame) benchmark::DoNotOptimize(text);
    }
  }
  report(state);
}
BENCHMARK(BM_FrameDecoder)->Unit(benchmark::kMillisecond);

double cpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The peer stands for the server, which is another process in real use: its
// writer thread's CPU time is taken out of the client's figure.
void BM_ReceivePathLoopback(benchmark::State& state) {
  std::string stream;
  for (const auto& text : gameTexts()) stream += encodeFrame(text);
  test_support::ServerPeer peer;
  peer.configureClient();
  CMessageQueue* queue = CMessageQueue::getInstance();
  if (!queue->connect() || !peer.accept()) {
    state.SkipWithError("no loopback connection");
    return;
  }
  double writerCpu = 0;
  double processCpu = -cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  for (auto _ : state) {
    std::thread writer([&] {
      double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
      peer.sendRaw(stream);
      writerCpu += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
    });
    int popped = 0;
    while (popped < kFrames) {
      if (auto message = queue->popMessage()) {
        benchmark::DoNotOptimize(message->per);
        ++popped;
      } else {
        // Like a frame loop: take what has come, then leave the core to the link.
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
    }
    writer.join();
  }
  processCpu += cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  queue->disconnect();
  report(state);
  double frames = static_cast<double>(state.iterations()) * kFrames;
  state.counters["client_cpu_frames_per_second"] = frames / (processCpu - writerCpu);
}
// Rates by wall time; the counter gives frames per CPU-second of the client's
// threads (receive thread and main side), which the other programs on a
// shared machine disturb less.
BENCHMARK(BM_ReceivePathLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
