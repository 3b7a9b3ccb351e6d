// A fresh folder for one test, removed with everything in it afterwards,
// and environment variables set for the test's duration only (the folders
// of HOME and XDG_* point into it, never at the real user's).
#pragma once

#include <memory>
#include <string>
#include <vector>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + "/" + name.
  std::string operator/(const std::string& name) const;
  // Writes a file (making its folders) and returns its path.
  std::string Write(const std::string& name, const std::string& content) const;
  std::string MakeFolder(const std::string& name) const;

 private:
  std::string path_;
};

std::string ReadWholeFile(const std::string& path);

// Sets (or, with a null value, unsets) an environment variable until the
// object goes away.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool hadOld_;
};

// HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and TMPDIR inside a fresh folder
// (home/, home/.config, home/.local/share, tmp/).
class ScopedHome {
 public:
  ScopedHome();
  const TempFolder& Folder() const { return folder_; }
  std::string Home() const { return folder_ / "home"; }

 private:
  TempFolder folder_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
};
