// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolkit/Types.h"

namespace tktest {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0;; ++i) {
      FPath = base / ("tabulo-tk-" + std::to_string(reinterpret_cast<uintptr_t>(this) % 100000) + "-" +
                      std::to_string(counter++) + "-" + std::to_string(i));
      if (std::filesystem::create_directory(FPath)) break;
    }
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only leftovers must not stop the clean-up.
    for (auto& e : std::filesystem::recursive_directory_iterator(FPath, ec))
      std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FPath, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path Path(const std::string& name) const { return FPath / name; }
  tk::String File(const std::string& name) const { return Path(name).wstring(); }
  tk::String Dir() const { return FPath.wstring(); }

  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (auto& e : std::filesystem::directory_iterator(FPath)) out.push_back(e.path().filename().string());
    return out;
  }

 private:
  std::filesystem::path FPath;
};

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace tktest
