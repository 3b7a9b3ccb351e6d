#include "shell/Launching.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextEncodings.h"
#include "platform/PlatformFiles.h"
#include "platform/PlatformLaunch.h"
#include "platform/SafeSave.h"
#include "shell/ApplInfo.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/StandardDialog.h"

namespace {

OSErr Open(const std::string& target) {
  if (target.empty()) return paramErr;
  return LaunchProgram({"xdg-open", target});
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Text(const unsigned char* p) { return p ? std::string((const char*)p + 1, p[0]) : std::string(); }

constexpr int kHelperTimeoutMs = 5000;
// What RunProgram answers for a program that could not be started.
constexpr int kNotStarted = 127;

// A file URI with every byte but the unreserved ones and '/' escaped, so
// that it passes through any argument syntax unchanged.
std::string FileURI(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    if (isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      uri += char(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  return uri;
}

// Asks the desktop's file manager to show the item selected in its folder;
// false when none answered.
bool ShowItemInFileManager(const std::string& path) {
  const std::string uri = FileURI(path);
  int status = RunProgram(
      {"gdbus", "call", "--session", "--timeout", "5", "--dest", "org.freedesktop.FileManager1", "--object-path",
       "/org/freedesktop/FileManager1", "--method", "org.freedesktop.FileManager1.ShowItems", "['" + uri + "']", ""},
      nullptr, kHelperTimeoutMs);
  if (status == kNotStarted)
    status = RunProgram(
        {"dbus-send", "--session", "--print-reply", "--reply-timeout=5000", "--dest=org.freedesktop.FileManager1",
         "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1.ShowItems", "array:string:" + uri, "string:"},
        nullptr, kHelperTimeoutMs);
  return status == 0;
}

// A URL scheme: a letter, then letters, digits, '+', '-' and '.'.
bool IsScheme(const std::string& s) {
  if (s.empty() || !isalpha(UInt8(s[0]))) return false;
  for (unsigned char c : s)
    if (!isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  return true;
}

// The folders the desktop keeps its entries' data in: the user's, then the
// system's.
std::vector<std::string> DataFolders() {
  std::vector<std::string> folders;
  const char* home = std::getenv("HOME");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome)
    folders.push_back(dataHome);
  else if (home)
    folders.push_back(std::string(home) + "/.local/share");
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::stringstream dirs(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
  for (std::string d; std::getline(dirs, d, ':');)
    if (!d.empty()) folders.push_back(d);
  return folders;
}

// A whole small text file, read through the regular-file opener (a named
// pipe in its place must not hold the program); false when it cannot be read.
bool ReadText(const std::string& path, std::string* text) {
  std::FILE* file = OpenRegularFileForReading(path);
  if (!file) return false;
  text->clear();
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  std::fclose(file);
  return true;
}

// The lines of a text, with either line end.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The Name of a desktop entry's text ("" for none).
std::string EntryName(const std::string& text) {
  bool inEntry = false;
  for (const std::string& line : Lines(text)) {
    if (!line.empty() && line[0] == '[')
      inEntry = line == "[Desktop Entry]";
    else if (inEntry && line.rfind("Name=", 0) == 0)
      return line.substr(5);
  }
  return "";
}

// The Name of a desktop entry, looked up where the desktop keeps them; ""
// when it is not found.
std::string DesktopEntryName(const std::string& id) {
  std::string text;
  for (const std::string& folder : DataFolders())
    if (ReadText(folder + "/applications/" + id, &text)) return EntryName(text);
  return "";
}

// The desktop entry (its id, "name.desktop") that is named `name`, or whose
// id without ".desktop" is `name`; the user's entries first. "" for none.
std::string DesktopEntryNamed(const std::string& name) {
  if (name.empty()) return "";
  for (const std::string& folder : DataFolders()) {
    std::vector<std::string> ids;
    if (PlatformListFolder(FSRef{folder + "/applications"}, &ids) != noErr) continue;
    for (const std::string& id : ids) {
      if (!id.ends_with(".desktop")) continue;
      std::string text;
      if (id.substr(0, id.size() - 8) == name) return id;
      if (ReadText(folder + "/applications/" + id, &text) && EntryName(text) == name) return id;
    }
  }
  return "";
}

// The user's own choices of handlers: mimeapps.list in the user's
// configuration folder, and the desktop's own copy of it for each desktop
// the session names.
std::vector<std::string> UserHandlerLists() {
  std::string folder;
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (configHome && *configHome)
    folder = configHome;
  else if (home && *home)
    folder = std::string(home) + "/.config";
  else
    return {};
  std::vector<std::string> lists;
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  std::stringstream names(desktops ? desktops : "");
  for (std::string d; std::getline(names, d, ':');) {
    if (d.empty()) continue;
    for (char& c : d) c = char(std::tolower(UInt8(c)));
    lists.push_back(folder + "/" + d + "-mimeapps.list");
  }
  lists.push_back(folder + "/mimeapps.list");
  return lists;
}

// The desktop entry the desktop opens the scheme's links with ("" for none,
// or when it cannot be asked).
std::string SchemeHandler(const std::string& scheme, int* status) {
  std::string output;
  *status = RunProgram({"xdg-mime", "query", "default", "x-scheme-handler/" + scheme}, &output, kHelperTimeoutMs);
  return *status == 0 ? output.substr(0, output.find('\n')) : std::string();
}

}  // namespace

// A named browser has no counterpart here: the desktop's own browser opens
// the link either way. The link is an argument, never part of a command line.
OSErr LaunchURL(const char* url, const unsigned char*) { return Open(url ? url : ""); }

OSStatus URLControlHandler(EventHandlerCallRef, EventRef event, void*) {
  if (event->eventClass == kEventClassControl && event->eventKind == kEventControlHit &&
      event->control->kind == kControlKindLink)
    LaunchURL(Text(event->control->title).c_str(), nullptr);
  return eventNotHandledErr;
}

UInt32 LaunchURLDialog(const unsigned char* message, const unsigned char* url, const unsigned char* button,
                       SInt16 icon) {
  WindowRef parent = dlogPARAMS.parentWindow;
  unsigned char sheet = dlogPARAMS.sheet;
  UInt32 iconType = dlogPARAMS.iconType;
  dlogPARAMS.Reset();
  Rect bounds = DlogPosition(500, 128, 0);
  WindowRef window = NewStandardDialog(&bounds, (const unsigned char*)"", sheet);
  if (!window) {
    // A dialog that only informs never ends the program.
    ErrorDialog("LaunchURLDialog() failed.", SInt16(-108), 0, 0);
    return kHICommandCancel;
  }
  Rect local{0, 0, 128, 500};
  Rect b = ButtonPosition_Dlog(&local, 0);
  SInt16 needed = SInt16(button[0] * 7 + 16);
  if (needed > 70) b.left = SInt16(b.right - needed);
  ControlRef ok = NewDialogControl(window, &b, kPushButtonProc, button, 0, 0, 1);
  SetDefaultControl(ok, 1);
  Rect text = TextPosition(&local);
  Rect linkRect{SInt16(text.top + 64), 75, SInt16(text.top + 64 + 24), SInt16(75 + url[0] * 6)};
  ControlRef link = NewDialogControl(window, &linkRect, kLinkProc, url, 0, 0, 0);
  link->command = kHICommandCancel;
  static const EventTypeSpec hit[] = {{kEventClassControl, kEventControlHit}};
  InstallControlEventHandler(link, URLControlHandler, 1, hit, nullptr, nullptr);
  Rect messageRect{text.top, text.left, SInt16(text.top + 48), text.right};
  NewDialogControl(window, &messageRect, kStaticTextProc, message, 0, 0, 0);
  Rect iconRect = IconPosition();
  if (iconType == kNoIconType) {
    NewDialogControl(window, &iconRect, kIconNoTrackProc, (const unsigned char*)"", icon, 0, 0);
  } else {
    SetControlIconCode(NewDialogControl(window, &iconRect, kIconRefProc, (const unsigned char*)"", 0, 0, 0), iconType);
  }
  UInt32 command = RunStandardDialog(window, parent, sheet);
  DisposeDialogWindow(window);
  return command;
}

// The desktop keeps one handler per URL scheme (x-scheme-handler/<scheme>),
// named by its desktop entry: the helper's name is the entry's Name (its id
// without ".desktop" when the entry cannot be read) in the engine's 8-bit
// text, cut to 31 characters as the name field holds; no creator code exists
// here (0).
OSErr GetProtocolHelperApp(const unsigned char* protocol, unsigned char* name, UInt32* creator) {
  std::string scheme = Text(protocol);
  if (!IsScheme(scheme)) return paramErr;
  int status = 0;
  std::string id = SchemeHandler(scheme, &status);
  if (id.empty()) return fnfErr;
  std::string shown = DesktopEntryName(id);
  if (shown.empty()) shown = id.size() > 8 && id.ends_with(".desktop") ? id.substr(0, id.size() - 8) : id;
  if (name) {
    std::string text = ConvertUnicodeToCStr(shown.c_str());
    text.resize(std::min<size_t>(text.size(), 31));
    name[0] = UInt8(text.size());
    memcpy(name + 1, text.data(), text.size());
  }
  if (creator) *creator = 0;
  return noErr;
}

// The helper is the desktop entry of that name (the application's own name
// when none is given), made the scheme's handler in the user's own settings
// through the desktop's "xdg-mime default"; the settings of the system and
// of other users are never touched. Creator codes do not exist here, so an
// entry that is the handler already is left as it is. fnfErr when no entry
// has the name or xdg-mime cannot be started; ioErr when it fails.
OSErr SetProtocolHelperApp(const unsigned char* protocol, unsigned char* name, UInt32) {
  std::string scheme = Text(protocol);
  if (!IsScheme(scheme)) return paramErr;
  std::string helper = ConvertCStrToUnicode(Text(name ? name : APPL.name).c_str());
  std::string id = DesktopEntryNamed(helper);
  if (id.empty()) return fnfErr;
  int status = 0;
  if (SchemeHandler(scheme, &status) == id) return noErr;
  status = RunProgram({"xdg-mime", "default", id, "x-scheme-handler/" + scheme}, nullptr, kHelperTimeoutMs);
  if (status == kNotStarted) return fnfErr;
  return status == 0 ? OSErr(noErr) : OSErr(ioErr);
}

// Takes the scheme's handler out of the user's own settings (the lines
// "x-scheme-handler/<scheme>=" of their default applications), so that the
// desktop's default applies again. fnfErr when the user's settings name
// none; the save's error when a settings file cannot be written.
OSErr RemoveProtocolHelper(const unsigned char* protocol) {
  std::string scheme = Text(protocol);
  if (!IsScheme(scheme)) return paramErr;
  const std::string key = "x-scheme-handler/" + scheme + "=";
  bool removed = false;
  for (const std::string& list : UserHandlerLists()) {
    std::string text;
    if (!ReadText(list, &text)) continue;
    std::string kept;
    bool inDefaults = false, changed = false;
    for (const std::string& line : Lines(text)) {
      if (!line.empty() && line[0] == '[') inDefaults = line == "[Default Applications]";
      if (inDefaults && line.rfind(key, 0) == 0) {
        changed = true;
        continue;
      }
      kept += line + "\n";
    }
    if (!changed) continue;
    if (OSErr error = SafeSaveFile(list, kept.data(), SInt64(kept.size()))) return error;
    removed = true;
  }
  return removed ? OSErr(noErr) : OSErr(fnfErr);
}

// No script component exists here.
bool InitAppleScript() { return false; }
void DisposeAppleScript() {}
OSErr RunAppleScript(const char* text) { return LowRunAppleScript(text, text ? SInt32(strlen(text)) : 0, nullptr); }
OSErr LowRunAppleScript(const void*, SInt32, std::string* result) {
  if (result) result->clear();
  return unimpErr;
}
OSErr ExecuteAppleScriptEvent(const void*, SInt32, void*, std::string* result) {
  if (result) result->clear();
  return paramErr;
}

// The file manager shows the item selected where one answers on the session
// bus; otherwise its folder opens.
OSErr RevealInFinder(const char* path) {
  if (!path || !*path) return paramErr;
  if (ShowItemInFileManager(path)) return noErr;
  return Open(FolderOf(path));
}
OSErr RevealInFinder(FileClass* file) {
  return file ? RevealInFinder(PathOfFSRef(&file->ref).c_str()) : OSErr(paramErr);
}
OSErr OpenInFinder(const char* path) { return path ? Open(path) : OSErr(paramErr); }
OSErr OpenInFinder(FileClass* file) { return file ? Open(PathOfFSRef(&file->ref)) : OSErr(paramErr); }

// Processes carry no creator codes here.
OSErr GetProcessSerialNumber(UInt32, void*) { return procNotFound; }
OSErr QuitApplicationByCreator(UInt32) { return procNotFound; }
OSErr LaunchApp(FileClass*, void*) { return -1; }
OSErr LaunchLocalApp(const unsigned char*, unsigned char) { return -1; }
OSErr LaunchApplicationByCreator(UInt32, UInt32) { return 1; }

OSErr LaunchAppByCreator(FileClass* folder, UInt32 creator, UInt32 type) {
  FileClass app;
  OSErr err = FindFile(&app, static_cast<const char*>(nullptr), folder, creator, type, kFindFileOnly);
  return err != noErr ? err : LaunchApp(&app, nullptr);
}

OSErr MakeOpenURLEvent(const char* url, AppleEvent* event, UInt32 creator, AEAddressDesc* target,
                       unsigned char newWindow) {
  if (!url || !event) return paramErr;
  AEAddressDesc own;
  if (!target) {
    UInt32 signature = creator;
    OSErr err = AECreateDesc(typeApplSignature, &signature, sizeof signature, &own);
    if (err != noErr) return err;
  }
  const bool explorer = creator == FOUR_CHAR('M', 'S', 'I', 'E');
  *event = AppleEvent{};
  event->eventClass = explorer ? FOUR_CHAR('m', 'o', 's', '!') : FOUR_CHAR('W', 'W', 'W', '!');
  event->eventID = explorer ? FOUR_CHAR('o', 'u', 'r', 'l') : FOUR_CHAR('O', 'U', 'R', 'L');
  event->target = target ? *target : own;
  event->hasDirectList = true;
  event->directList = {url};
  SInt32 window = newWindow ? 0 : -1;
  AEDesc windowDesc;
  OSErr err = AECreateDesc(typeSInt32, &window, sizeof window, &windowDesc);
  if (err == noErr)
    event->params.push_back({FOUR_CHAR('W', 'I', 'N', 'D'), windowDesc});
  else
    *event = AppleEvent{};
  if (!target) AEDisposeDesc(&own);
  return err;
}
OSErr LaunchControlPanelByCreator(UInt32) { return 1; }
// Without the BSD layer's pane folder no pane has the identifier: 0.
OSErr LaunchPreferencePane(const unsigned char*) { return noErr; }
