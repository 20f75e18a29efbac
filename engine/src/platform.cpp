// The registry of platform factories, and the windowless platform used when
// no backend is linked: it draws nothing but keeps time and knows image sizes.
#include "engine/platform.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

namespace engine {
namespace {

struct Registry {
  std::mutex mutex;
  PlatformFactory factory;
  int priority = 0;
  bool set = false;
};

Registry& registry() {
  static Registry* instance = new Registry;
  return *instance;
}

class SizeOnlyTexture : public Texture {
 public:
  SizeOnlyTexture(int w, int h) : w_(w), h_(h) {}
  int width() const override { return w_; }
  int height() const override { return h_; }

 private:
  int w_;
  int h_;
};

// Reads the size from a PNG header; the only format the game ships.
bool pngSize(const std::string& path, int& w, int& h) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  unsigned char header[24];
  bool ok = std::fread(header, 1, sizeof header, f) == sizeof header;
  std::fclose(f);
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  for (int i = 0; ok && i < 8; ++i) ok = header[i] == signature[i];
  if (!ok) return false;
  auto be32 = [&](int at) {
    return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
  };
  w = be32(16);
  h = be32(20);
  return w > 0 && h > 0;
}

class NullPlatform : public Platform {
 public:
  explicit NullPlatform(const Size& size) : size_(size) {}
  Size frameSize() const override { return size_; }
  bool hasDisplay() const override { return false; }
  std::shared_ptr<Texture> loadImage(const std::string& path) override {
    int w = 0;
    int h = 0;
    if (!pngSize(path, w, h)) return nullptr;
    return std::make_shared<SizeOnlyTexture>(w, h);
  }
  std::shared_ptr<Texture> renderText(const std::string& text, const TextStyle& style) override {
    if (text.empty()) return nullptr;
    // A rough measure so that layouts stay sensible without fonts.
    int lines = 1;
    for (char c : text) lines += c == '\n';
    int w = static_cast<int>(text.size() * style.fontSize * 0.5f / lines) + 1;
    return std::make_shared<SizeOnlyTexture>(w, static_cast<int>(style.fontSize * 1.2f) * lines);
  }
  void beginFrame(const Color4B&) override {}
  void drawTexture(const Texture&, const Rect&, const Rect&, const Color4B&, bool, bool) override {}
  void fillRect(const Rect&, const Color4B&) override {}
  void endFrame() override {}
  double now() override {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  bool pollEvent(InputEvent& event) override {
    std::lock_guard lock(mutex_);
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
  }
  void waitEvent(double timeoutSeconds) override {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                   [this] { return !events_.empty(); });
  }
  void wakeUp() override {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(InputEvent{});
    }
    wake_.notify_all();
  }

 private:
  Size size_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<InputEvent> events_;
};

}  // namespace

void registerPlatformFactory(PlatformFactory factory, int priority) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  if (r.set && priority < r.priority) return;
  r.factory = std::move(factory);
  r.priority = priority;
  r.set = true;
}

std::unique_ptr<Platform> createPlatform(const WindowSpec& spec) {
  PlatformFactory factory;
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    factory = r.factory;
  }
  if (factory) {
    if (auto platform = factory(spec)) return platform;
  }
  return std::make_unique<NullPlatform>(spec.size);
}

}  // namespace engine
