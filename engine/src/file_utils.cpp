// Resource lookup beside the executable, then in the working directory.
#include "engine/file_utils.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace engine {

namespace fs = std::filesystem;

FileUtils* FileUtils::getInstance() {
  static FileUtils* instance = new FileUtils;
  return instance;
}

FileUtils::FileUtils() {
  std::string exeDir = getExecutableDirectory();
  if (!exeDir.empty()) searchPaths_.push_back(exeDir);
}

std::string FileUtils::getExecutableDirectory() {
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return "";
  return exe.parent_path().string();
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
  if (filename.empty()) return filename;
  fs::path name(filename);
  if (name.is_absolute()) return filename;
  std::error_code error;
  for (const std::string& dir : searchPaths_) {
    fs::path candidate = fs::path(dir) / name;
    if (fs::is_regular_file(candidate, error)) return candidate.string();
  }
  return filename;
}

bool FileUtils::isFileExist(const std::string& filename) const {
  std::error_code error;
  return fs::is_regular_file(fullPathForFilename(filename), error);
}

std::string FileUtils::getStringFromFile(const std::string& filename) const {
  std::ifstream in(fullPathForFilename(filename), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void FileUtils::addSearchPath(const std::string& path, bool front) {
  if (front) {
    searchPaths_.insert(searchPaths_.begin(), path);
  } else {
    searchPaths_.push_back(path);
  }
}

void FileUtils::setSearchPaths(const std::vector<std::string>& paths) {
  searchPaths_ = paths;
}

}  // namespace engine
