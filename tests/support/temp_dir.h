#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support {

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "mouse-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made) path_ = made;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary | std::ios::trunc) << content;
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(File(name));
  }

 private:
  std::string path_;
};

}  // namespace testing_support
