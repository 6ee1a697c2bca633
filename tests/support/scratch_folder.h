// A temporary folder for a test's files, made fresh under $TMPDIR (or /tmp)
// and removed with everything in it when the object goes out of scope. Under
// CTest, TMPDIR is the suite's own folder, which is checked empty at the end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

struct scratch_folder {
  std::string path;  // empty when no folder could be made

  scratch_folder()
  {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pilko-test-XXXXXX";
    if (mkdtemp(pattern.data()))
      path = pattern;
  }
  ~scratch_folder()
  {
    std::error_code ignored;
    if (!path.empty())
      std::filesystem::remove_all(path, ignored);
  }
  scratch_folder(scratch_folder &&other) noexcept : path(std::move(other.path)) { other.path.clear(); }
  scratch_folder(const scratch_folder &) = delete;
  scratch_folder &operator=(const scratch_folder &) = delete;

  // The path of name inside the folder.
  std::string file(const std::string &name) const { return path + "/" + name; }
  // How many entries the folder holds: what a test left in it.
  long entries() const { return std::distance(std::filesystem::directory_iterator(path), {}); }
};
