// Paths and references side by side: conversions, the application bundle's
// folders, and the working directory kept in step with the default folder.
//
// The bundle is a folder holding Contents/Info.plist and Contents/Resources,
// with the program at Contents/bin/<name>. The program finds it from its own
// file (/proc/self/exe, links resolved, so a link to the program works too).
#pragma once

#include <string>

#include "foundation/FileClass.h"

const char* PathStr();
// Paths have no length limit.
std::string PathOfFSRef(const FSRef* ref);
FSRef FSRefOfPath(const char* path);
FileClass FileClassOfPath(const char* path);
std::string LastPathItem(const char* path, unsigned char withExtension);
std::string UnicodePath(std::string path);
std::string ApplescriptPath(std::string path);
void CheckFilePath(FSRef* ref);

std::string MacOSGetBundlePath();
std::string GetBundlePath();
std::string GetResourcesPath();
std::string GetPreferencesPath();
void GetApplicationBundleLocation(FileClass* app, FileClass*);
void GetBundleResourceFile(FileClass* file);
// Test seam: the bundle path to answer instead of the program's own; a null
// or empty path goes back to the program's own.
void SetBundlePathForTesting(const char* path);

OSErr QKSetDefault(const FSRef* folder, FSRef* previous);
OSErr RealignDefaultFolder();
int RealignCWD();
Boolean SwitchToFolder(const char* path);
Boolean SwitchToFolder(const FSRef* folder);
Boolean SwitchToFileParent(const FSRef* folder);
Boolean SwitchToFileParent(const char* path);
void PushCWD();
void PopCWD();
void PushDefaultFolder();
void PopDefaultFolder();
void PushDirectory();
void PopDirectory();
// The default folder's reference (the working directory until one is set).
FSRef DefaultFolder();
