// Resource lookup: relative names are found beside the executable first, so the
// programs work from any working directory.
#pragma once

#include <string>
#include <vector>

namespace engine {

class FileUtils {
 public:
  static FileUtils* getInstance();

  // An absolute name as it is; a relative one in the search paths (the
  // executable's folder first, then the working directory), or unchanged when
  // it exists nowhere.
  std::string fullPathForFilename(const std::string& filename) const;
  bool isFileExist(const std::string& filename) const;
  std::string getStringFromFile(const std::string& filename) const;

  // Searched before the executable's folder.
  void addSearchPath(const std::string& path, bool front = true);
  void setSearchPaths(const std::vector<std::string>& paths);
  const std::vector<std::string>& getSearchPaths() const { return searchPaths_; }
  static std::string getExecutableDirectory();

 private:
  FileUtils();
  std::vector<std::string> searchPaths_;
};

}  // namespace engine
