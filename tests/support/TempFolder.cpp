#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/halvane-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Make read-only test folders removable again.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string TempFolder::operator/(const std::string& name) const { return path_ + "/" + name; }

std::string TempFolder::Write(const std::string& name, const std::string& content) const {
  std::string path = *this / name;
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string TempFolder::MakeFolder(const std::string& name) const {
  std::string path = *this / name;
  fs::create_directories(path);
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  const char* old = getenv(name);
  hadOld_ = old != nullptr;
  if (old) old_ = old;
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (hadOld_)
    setenv(name_.c_str(), old_.c_str(), 1);
  else
    unsetenv(name_.c_str());
}

ScopedHome::ScopedHome() {
  folder_.MakeFolder("home/.config");
  folder_.MakeFolder("home/.local/share");
  folder_.MakeFolder("tmp");
  env_.push_back(std::make_unique<ScopedEnv>("HOME", Home().c_str()));
  env_.push_back(std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", (Home() + "/.config").c_str()));
  env_.push_back(std::make_unique<ScopedEnv>("XDG_DATA_HOME", (Home() + "/.local/share").c_str()));
  env_.push_back(std::make_unique<ScopedEnv>("TMPDIR", (folder_ / "tmp").c_str()));
}
