// A fresh folder for the files a fuzz target writes (hiscore.txt), made once
// per process and removed at its end; on the RAM disk when there is one, so
// that each save's sync costs nothing.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

inline const std::string& scratchFolder() {
  static const std::string folder = [] {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    std::string pattern = (base / "vantrel-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    static const std::string made = pattern;
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(made, ignored);
    });
    return pattern;
  }();
  return folder;
}

inline void writeBytes(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
