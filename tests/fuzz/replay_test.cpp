// Replays the seed corpus and every past finding of the fuzz targets through
// their bodies, so that a fault found once stays fixed with any compiler.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_bodies.h"

namespace {

namespace fs = std::filesystem;
using Body = void (*)(const std::uint8_t*, std::size_t);

std::vector<fs::path> inputsOf(const std::string& folder) {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(QUARTET_FUZZ_DATA) / folder;
  if (!fs::is_directory(dir)) return files;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

void replay(const std::string& target, Body body) {
  std::vector<fs::path> seeds = inputsOf("corpus/" + target);
  ASSERT_FALSE(seeds.empty()) << "no seed corpus for " << target;
  std::vector<fs::path> findings = inputsOf("findings/" + target);
  seeds.insert(seeds.end(), findings.begin(), findings.end());
  for (const fs::path& file : seeds) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    body(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
}

TEST(FuzzReplay, FrameStreamCorpusAndFindings) {
  replay("frame_stream", fuzz::frameStream);
}

TEST(FuzzReplay, CardTextCorpusAndFindings) {
  replay("card_text", fuzz::cardText);
}

TEST(FuzzReplay, CanFollowCorpusAndFindings) {
  replay("can_follow", fuzz::canFollowLists);
}

}  // namespace
