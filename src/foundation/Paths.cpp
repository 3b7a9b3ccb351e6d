#include "foundation/Paths.h"

#include <filesystem>
#include <vector>

#include "foundation/ErrorDialog.h"
#include "platform/PlatformFiles.h"

namespace {

std::string bundleOverride;
FSRef defaultFolder;
bool defaultFolderSet = false;
std::vector<std::string> cwdStack;
std::vector<FSRef> defaultFolderStack;

std::string WorkingDirectory() {
  std::error_code ec;
  std::string path = std::filesystem::current_path(ec).string();
  return ec ? "" : path;
}

// Changes the working directory where the caller does not need the error.
bool ChangeDirectory(const std::string& path) { return PlatformChangeWorkingFolder(path) == 0; }

bool Exists(const std::string& path) {
  FSRef ref{path};
  return PlatformGetCatalogInfo(ref, false, nullptr) == noErr;
}

}  // namespace

const char* PathStr() { return "/"; }

std::string PathOfFSRef(const FSRef* ref) {
  if (!ref || !Exists(ref->path)) return "";
  return ref->path;
}

FSRef FSRefOfPath(const char* path) {
  FSRef ref;
  if (path && path[0] && Exists(path)) ref.path = AbsolutePath(path);
  return ref;
}

FileClass FileClassOfPath(const char* path) {
  FileClass file;
  file.ref = FSRefOfPath(path);
  return file;
}

std::string LastPathItem(const char* path, unsigned char withExtension) {
  std::string text = path ? path : "";
  size_t slash = text.rfind('/');
  std::string item = slash == std::string::npos ? text : text.substr(slash + 1);
  size_t dot = text.rfind('.');
  bool dotInItem = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  if (!withExtension && dotInItem) item.resize(item.size() - (text.size() - dot));
  return item;
}

std::string UnicodePath(std::string path) {
  if (path.empty()) return path;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return AbsolutePath(path);
}

std::string ApplescriptPath(std::string) { return ""; }

void CheckFilePath(FSRef* ref) {
  std::string path = PathOfFSRef(ref);
  AlertDialog(path.c_str(), "", "OK");
}

std::string MacOSGetBundlePath() {
  if (!bundleOverride.empty()) return bundleOverride;
  std::string program = PlatformExecutablePath();
  if (program.empty()) return "";
  std::string bin = ParentPath(program);
  std::string contents = ParentPath(bin);
  if (LastComponent(bin) != "bin" || LastComponent(contents) != "Contents") return "";
  return ParentPath(contents);
}

std::string GetBundlePath() { return MacOSGetBundlePath(); }

std::string GetResourcesPath() { return GetBundlePath() + "/" + "Contents" + "/" + "Resources"; }

std::string GetPreferencesPath() {
  FileClass folder;
  FindPreferencesFolder(&folder, 0);
  return PathOfFSRef(&folder.ref);
}

void SetBundlePathForTesting(const char* path) { bundleOverride = path ? AbsolutePath(path) : ""; }

void GetApplicationBundleLocation(FileClass* app, FileClass*) {
  if (!app || app->ref.path.empty()) ErrorDialog("The file URL is nil.", "GetApplicationBundleLocation()", 0, 1);
}

void GetBundleResourceFile(FileClass* file) {
  std::vector<std::string> programs;
  FSRef bin{JoinPath(file->ref.path, "Contents/bin")};
  if (file->ref.path.empty() || PlatformListFolder(bin, &programs) != noErr || programs.empty()) {
    AlertDialog("The fileUrl is nil.", "", "OK");
    return;
  }
  file->ref.path = JoinPath(bin.path, programs.front());
}

FSRef DefaultFolder() {
  if (!defaultFolderSet) return FSRef{WorkingDirectory()};
  return defaultFolder;
}

OSErr QKSetDefault(const FSRef* folder, FSRef* previous) {
  if (!folder) return paramErr;
  FSCatalogInfo info;
  OSErr err = PlatformGetCatalogInfo(*folder, true, &info);
  if (err != noErr) return err;
  if (!(info.nodeFlags & kCatalogNodeIsFolder)) return dirNFErr;
  if (previous) {
    FSRef former = DefaultFolder();
    if (former.path.empty()) return fnfErr;
    *previous = former;
  }
  defaultFolder = *folder;
  defaultFolderSet = true;
  return noErr;
}

OSErr RealignDefaultFolder() {
  FSRef cwd = FSRefOfPath(WorkingDirectory().c_str());
  return QKSetDefault(&cwd, nullptr);
}

int RealignCWD() {
  std::string path = DefaultFolder().path;
  if (path.empty()) {
    ErrorDialog("Can't get url", "", 0, 1);
    return -1;
  }
  return PlatformChangeWorkingFolder(path);
}

Boolean SwitchToFolder(const char* path) {
  if (!path || !path[0]) return 0;
  FSRef folder = FSRefOfPath(path);
  QKSetDefault(&folder, nullptr);
  ChangeDirectory(path);
  return 1;
}

Boolean SwitchToFileParent(const FSRef* folder) {
  FSRef previous;
  OSErr err = QKSetDefault(folder, &previous);
  RealignCWD();
  return err == noErr;
}

Boolean SwitchToFolder(const FSRef* folder) { return SwitchToFileParent(folder); }

Boolean SwitchToFileParent(const char* path) {
  std::string text = path ? path : "";
  size_t slash = text.rfind('/');
  if (slash == std::string::npos) return 0;
  return SwitchToFolder(text.substr(0, slash + 1).c_str());
}

void PushCWD() { cwdStack.push_back(WorkingDirectory()); }

void PopCWD() {
  if (cwdStack.empty()) return;
  ChangeDirectory(cwdStack.back());
  cwdStack.pop_back();
}

void PushDefaultFolder() { defaultFolderStack.push_back(DefaultFolder()); }

void PopDefaultFolder() {
  if (defaultFolderStack.empty()) return;
  QKSetDefault(&defaultFolderStack.back(), nullptr);
  defaultFolderStack.pop_back();
}

void PushDirectory() {
  PushCWD();
  PushDefaultFolder();
}

void PopDirectory() {
  PopCWD();
  PopDefaultFolder();
}
