#include <cstring>
#include <map>

#include "DialogFixture.h"
#include "foundation/FileClass.h"
#include "platform/PlatformLaunch.h"
#include "shell/Launching.h"
#include "support/TempFolder.h"

namespace {

class LaunchingTest : public DialogTest {
 protected:
  LaunchingTest() : previous(SetLaunchProc(Record)), previousRun(SetRunProc(Run)) {}
  ~LaunchingTest() override {
    SetLaunchProc(previous);
    SetRunProc(previousRun);
  }
  static OSErr Record(const std::vector<std::string>& argv) {
    launched.push_back(argv);
    return answer;
  }
  // Programs run and waited for: each answers its status and output by its
  // name; a program with no answer cannot be started.
  struct Answer {
    int status;
    std::string output;
  };
  static int Run(const std::vector<std::string>& argv, std::string* output, int) {
    ran.push_back(argv);
    auto found = runAnswers.find(argv[0]);
    if (found == runAnswers.end()) return 127;
    if (output) *output = found->second.output;
    return found->second.status;
  }
  static inline std::vector<std::vector<std::string>> launched, ran;
  static inline std::map<std::string, Answer> runAnswers;
  static inline OSErr answer = noErr;
  LaunchProc previous;
  RunProc previousRun;
  void SetUp() override {
    launched.clear();
    ran.clear();
    runAnswers.clear();
    answer = noErr;
  }
};

TEST_F(LaunchingTest, LinksAndFilesGoToTheOpenerAsOneArgument) {
  const char* tricky = "http://example.invalid/a\"b'c;$(rm -rf x) d";
  EXPECT_EQ(LaunchURL(tricky, nullptr), noErr);
  EXPECT_EQ(LaunchURL("mailto:someone@example.invalid", PStr("Some Browser")), noErr);
  EXPECT_EQ(RevealInFinder("/home/player/Scores \"1\".plist"), noErr);
  EXPECT_EQ(OpenInFinder("/home/player/Scores.plist"), noErr);
  std::vector<std::vector<std::string>> want = {{"xdg-open", tricky},
                                                {"xdg-open", "mailto:someone@example.invalid"},
                                                {"xdg-open", "/home/player"},
                                                {"xdg-open", "/home/player/Scores.plist"}};
  EXPECT_EQ(launched, want);
  answer = fnfErr;
  EXPECT_EQ(LaunchURL("http://example.invalid/", nullptr), fnfErr);
  EXPECT_EQ(LaunchURL("", nullptr), paramErr);
  EXPECT_EQ(RevealInFinder(static_cast<const char*>(nullptr)), paramErr);
}

TEST_F(LaunchingTest, WhatHasNoCounterpartAnswersItsCode) {
  Str255 name{0};
  UInt32 creator = 0;
  std::string result = "stale";
  struct Case {
    const char* what;
    OSErr got, want;
  } cases[] = {
      {"helper get without xdg-mime", GetProtocolHelperApp(PStr("http"), name, &creator), fnfErr},
      {"script", RunAppleScript("beep"), unimpErr},
      {"script event", ExecuteAppleScriptEvent("beep", 4, nullptr, &result), paramErr},
      {"process", GetProcessSerialNumber(FOUR_CHAR('a', 'b', 'c', 'd'), nullptr), procNotFound},
      {"quit process", QuitApplicationByCreator(FOUR_CHAR('a', 'b', 'c', 'd')), procNotFound},
      {"launch app", LaunchApp(nullptr, nullptr), -1},
      {"launch local", LaunchLocalApp(PStr("x"), 0), -1},
      {"by creator", LaunchApplicationByCreator(1, 2), 1},
      {"control panel", LaunchControlPanelByCreator(1), 1},
      {"preference pane", LaunchPreferencePane(PStr("com.example.pane")), noErr},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
  EXPECT_EQ(result, "");
  EXPECT_FALSE(InitAppleScript());
  EXPECT_TRUE(launched.empty());
}

TEST_F(LaunchingTest, RevealSelectsTheItemInTheFileManagerWhereOneAnswers) {
  const char* path = "/home/player/My \"Scores\", 1.plist";
  const std::string uri = "file:///home/player/My%20%22Scores%22%2C%201.plist";
  const std::vector<std::string> gdbus = {"gdbus",
                                          "call",
                                          "--session",
                                          "--timeout",
                                          "5",
                                          "--dest",
                                          "org.freedesktop.FileManager1",
                                          "--object-path",
                                          "/org/freedesktop/FileManager1",
                                          "--method",
                                          "org.freedesktop.FileManager1.ShowItems",
                                          "['" + uri + "']",
                                          ""};
  const std::vector<std::string> dbusSend = {"dbus-send",
                                             "--session",
                                             "--print-reply",
                                             "--reply-timeout=5000",
                                             "--dest=org.freedesktop.FileManager1",
                                             "/org/freedesktop/FileManager1",
                                             "org.freedesktop.FileManager1.ShowItems",
                                             "array:string:" + uri,
                                             "string:"};
  struct Case {
    const char* what;
    std::map<std::string, Answer> answers;
    std::vector<std::vector<std::string>> ran, launched;
  } cases[] = {
      {"a file manager answers", {{"gdbus", {0, "()"}}}, {gdbus}, {}},
      {"none answers on the bus", {{"gdbus", {1, ""}}}, {gdbus}, {{"xdg-open", "/home/player"}}},
      {"no gdbus: dbus-send", {{"dbus-send", {0, ""}}}, {gdbus, dbusSend}, {}},
      {"neither can be started", {}, {gdbus, dbusSend}, {{"xdg-open", "/home/player"}}},
  };
  for (const Case& c : cases) {
    ran.clear();
    launched.clear();
    runAnswers = c.answers;
    EXPECT_EQ(RevealInFinder(path), noErr) << c.what;
    EXPECT_EQ(ran, c.ran) << c.what;
    EXPECT_EQ(launched, c.launched) << c.what;
  }
}

TEST_F(LaunchingTest, ProtocolHelperIsTheDesktopsHandlerOfTheScheme) {
  TempFolder data;
  data.Write("applications/web-browser.desktop",
             "[Desktop Action New]\nName=New Window\n[Desktop Entry]\nType=Application\nName=Web Browser\n");
  data.Write("applications/dos-lines.desktop", "[Desktop Entry]\r\nType=Application\r\nName=Written On DOS\r\n");
  data.Write("applications/long.desktop", "[Desktop Entry]\nName=A Browser Whose Name Is Longer Than Thirty-One\n");
  data.Write("applications/accented.desktop", "[Desktop Entry]\nName=Caf\xC3\xA9 Mail\n");
  ScopedEnv dataHome("XDG_DATA_HOME", data.Path().c_str());
  ScopedEnv dataDirs("XDG_DATA_DIRS", (data.Path() + "/none").c_str());
  struct Case {
    const char* scheme;
    Answer xdgMime;
    OSErr result;
    std::string name;
  } cases[] = {
      {"https", {0, "web-browser.desktop\n"}, noErr, "Web Browser"},
      {"irc", {0, "chat-client.desktop\n"}, noErr, "chat-client"},  // its entry cannot be read
      {"irc", {0, "a-very-long-name-for-a-chat-client-entry.desktop\n"}, noErr, "a-very-long-name-for-a-chat-cli"},
      {"ftp", {0, "dos-lines.desktop\n"}, noErr, "Written On DOS"},
      {"news", {0, "long.desktop\n"}, noErr, "A Browser Whose Name Is Longer "},
      {"mailto", {0, "accented.desktop\n"}, noErr, "Caf\x8E Mail"},  // in the engine's 8-bit text
      {"gopher", {0, ""}, fnfErr, "(unchanged)"},
      {"gopher", {4, ""}, fnfErr, "(unchanged)"},
  };
  for (const Case& c : cases) {
    runAnswers = {{"xdg-mime", c.xdgMime}};
    ran.clear();
    Str255 name;
    memcpy(name, "\13(unchanged)", 12);
    UInt32 creator = 99;
    std::string scheme = std::string(1, char(strlen(c.scheme))) + c.scheme;
    EXPECT_EQ(GetProtocolHelperApp((const unsigned char*)scheme.c_str(), name, &creator), c.result) << c.scheme;
    EXPECT_EQ(std::string((char*)name + 1, name[0]), c.name) << c.scheme;
    EXPECT_EQ(creator, c.result == noErr ? 0u : 99u) << c.scheme;
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0],
              (std::vector<std::string>{"xdg-mime", "query", "default", std::string("x-scheme-handler/") + c.scheme}));
  }
  // A scheme must be one: nothing is run for anything else.
  ran.clear();
  for (const char* bad : {"\5ht tp", "\0", "\0041abc", "\4a/..", "\3a'b"})
    EXPECT_EQ(GetProtocolHelperApp((const unsigned char*)bad, nullptr, nullptr), paramErr) << bad + 1;
  EXPECT_TRUE(ran.empty());
}

// Setting a handler goes through the desktop's own xdg-mime into the
// user's settings; removing it takes it out of them again.
TEST_F(LaunchingTest, ProtocolHelperSetGoesThroughXdgMimeForTheUsersOwnSettings) {
  TempFolder data;
  data.Write("applications/viewer.desktop", "[Desktop Entry]\nType=Application\nName=Test Viewer\n");
  data.Write("applications/halvane.desktop", "[Desktop Entry]\nType=Application\nName=Halvane\n");
  ScopedEnv dataHome("XDG_DATA_HOME", data.Path().c_str());
  ScopedEnv dataDirs("XDG_DATA_DIRS", (data.Path() + "/none").c_str());
  CToPStr("Halvane", APPL.name);
  struct Case {
    const char* what;
    const char* name;  // null: the application's own
    std::string current;
    int status;
    OSErr result;
    std::vector<std::vector<std::string>> ran;
  } cases[] = {
      {"a named helper",
       "Test Viewer",
       "",
       0,
       noErr,
       {{"xdg-mime", "query", "default", "x-scheme-handler/halvanetest"},
        {"xdg-mime", "default", "viewer.desktop", "x-scheme-handler/halvanetest"}}},
      {"the application itself",
       nullptr,
       "viewer.desktop\n",
       0,
       noErr,
       {{"xdg-mime", "query", "default", "x-scheme-handler/halvanetest"},
        {"xdg-mime", "default", "halvane.desktop", "x-scheme-handler/halvanetest"}}},
      {"already the handler: nothing written",
       "Test Viewer",
       "viewer.desktop\n",
       0,
       noErr,
       {{"xdg-mime", "query", "default", "x-scheme-handler/halvanetest"}}},
      {"no entry of that name", "No Such Program", "", 0, fnfErr, {}},
      {"xdg-mime fails",
       "Test Viewer",
       "",
       2,
       ioErr,
       {{"xdg-mime", "query", "default", "x-scheme-handler/halvanetest"},
        {"xdg-mime", "default", "viewer.desktop", "x-scheme-handler/halvanetest"}}},
  };
  for (const Case& c : cases) {
    runAnswers = {{"xdg-mime", {c.status, c.current}}};
    if (c.status) runAnswers["xdg-mime"].output = "";
    ran.clear();
    Str255 name;
    if (c.name) CToPStr(c.name, name);
    EXPECT_EQ(SetProtocolHelperApp(PStr("halvanetest"), c.name ? name : nullptr, 0), c.result) << c.what;
    EXPECT_EQ(ran, c.ran) << c.what;
  }
  ran.clear();
  EXPECT_EQ(SetProtocolHelperApp((const unsigned char*)"\3a b", nullptr, 0), paramErr);
  EXPECT_EQ(RemoveProtocolHelper((const unsigned char*)"\3a b"), paramErr);
  EXPECT_TRUE(ran.empty());
}

// The whole way with the desktop's real xdg-mime, in folders of the test's
// own: the entry that names the scheme is its handler by default; a helper
// set in the user's settings is the one read back, and once it is removed
// the default is back; the user's other choices stay.
TEST_F(LaunchingTest, AHandlerSetIsReadBackAndRemovedFromTheUsersSettings) {
  SetRunProc(nullptr);
  TempFolder home;
  home.Write("data/applications/halvane-test-viewer.desktop",
             "[Desktop Entry]\r\nType=Application\r\nName=Test Viewer\r\nExec=true %u\r\n"
             "MimeType=x-scheme-handler/halvanetest;\r\n");
  home.Write("data/applications/notes.desktop", "[Desktop Entry]\nType=Application\nName=Notes\nExec=true %u\n");
  const std::string list = home.Write("config/mimeapps.list", "[Default Applications]\ntext/plain=notes.desktop\n");
  ScopedEnv homeVar("HOME", (home / "home").c_str());
  ScopedEnv dataHome("XDG_DATA_HOME", (home / "data").c_str());
  ScopedEnv dataDirs("XDG_DATA_DIRS", (home / "system").c_str());
  ScopedEnv configHome("XDG_CONFIG_HOME", (home / "config").c_str());
  ScopedEnv configDirs("XDG_CONFIG_DIRS", (home / "system-config").c_str());
  ScopedEnv desktop("XDG_CURRENT_DESKTOP", nullptr);
  Str255 scheme;
  CToPStr("halvanetest", scheme);
  auto helper = [&] {
    Str255 name;
    name[0] = 0;
    UInt32 creator = 99;
    OSErr error = GetProtocolHelperApp(scheme, name, &creator);
    EXPECT_EQ(creator, error ? 99u : 0u);
    return error ? "error " + std::to_string(error) : std::string((char*)name + 1, name[0]);
  };
  ASSERT_EQ(helper(), "Test Viewer") << "the entry naming the scheme, read through its CRLF lines";

  Str255 notes;
  CToPStr("Notes", notes);
  ASSERT_EQ(SetProtocolHelperApp(scheme, notes, 0), noErr);
  EXPECT_EQ(helper(), "Notes");
  std::string written = ReadWholeFile(list);
  EXPECT_NE(written.find("x-scheme-handler/halvanetest=notes.desktop"), std::string::npos) << written;
  EXPECT_NE(written.find("text/plain=notes.desktop"), std::string::npos) << written;

  EXPECT_EQ(RemoveProtocolHelper(scheme), noErr);
  EXPECT_EQ(helper(), "Test Viewer");
  written = ReadWholeFile(list);
  EXPECT_EQ(written.find("halvanetest"), std::string::npos) << written;
  EXPECT_NE(written.find("text/plain=notes.desktop"), std::string::npos) << written;
  EXPECT_EQ(RemoveProtocolHelper(scheme), fnfErr) << "nothing left to remove";
  EXPECT_EQ(helper(), "Test Viewer");
}

TEST_F(LaunchingTest, LinkDialogOpensTheLinkAndEndsAsCancel) {
  presenter.ClickControl(kHICommandCancel);
  EXPECT_EQ(LaunchURLDialog(PStr("Get the driver from:"), PStr("http://example.invalid/driver"), PStr("Later"), 1),
            kHICommandCancel);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0][1], "http://example.invalid/driver");
  // Shown as texts and buttons, the link is a button of its own.
  presenter.ClickTitle("Open Link");
  EXPECT_EQ(LaunchURLDialog(PStr("Get it:"), PStr("http://example.invalid/x"), PStr("Later"), 1), kHICommandCancel);
  EXPECT_EQ(launched.size(), 2u);
  MessageBoxPlan plan = PlanMessageBox(presenter.shown.back());
  for (const auto& b : plan.buttons) {
    if (presenter.shown.back().buttons[size_t(b.index)].title == "Open Link") {
      EXPECT_FALSE(b.escapeKey);
    }
  }
  EXPECT_EQ(presenter.shown.back().texts, (std::vector<std::string>{"http://example.invalid/x", "Get it:"}));
  presenter.Key(13);
  EXPECT_EQ(LaunchURLDialog(PStr("m"), PStr("http://example.invalid/"), PStr("Download Later Please"), 1),
            kHICommandOK);
  const DialogView& v = presenter.shown.back();
  ASSERT_EQ(v.buttons.size(), 2u);
  EXPECT_EQ(v.buttons[0].bounds.right - v.buttons[0].bounds.left, 21 * 7 + 16);
  EXPECT_EQ(launched.size(), 2u);
}

TEST(PlatformLaunch, StartsProgramsWithoutAShellAndReportsMissingOnes) {
  EXPECT_EQ(LaunchProgram({"true"}), noErr);
  EXPECT_EQ(LaunchProgram({"/nonexistent/program", "arg"}), fnfErr);
  EXPECT_EQ(LaunchProgram({}), paramErr);
}

TEST_F(LaunchingTest, OpenURLEventsNameTheBrowserAndTheWindow) {
  const UInt32 explorer = FOUR_CHAR('M', 'S', 'I', 'E'), other = FOUR_CHAR('O', 'W', 'E', 'B');
  AEAddressDesc given;
  ASSERT_EQ(AECreateDesc(typeApplSignature, "XYZW", 4, &given), noErr);
  struct Case {
    UInt32 creator;
    AEAddressDesc* target;
    unsigned char newWindow;
    UInt32 eventClass, eventID;
    std::string address;
    SInt32 window;
  } cases[] = {
      {explorer, nullptr, 1, FOUR_CHAR('m', 'o', 's', '!'), FOUR_CHAR('o', 'u', 'r', 'l'), "EISM", 0},
      {other, nullptr, 0, FOUR_CHAR('W', 'W', 'W', '!'), FOUR_CHAR('O', 'U', 'R', 'L'), "BEWO", -1},
      {other, &given, 1, FOUR_CHAR('W', 'W', 'W', '!'), FOUR_CHAR('O', 'U', 'R', 'L'), "XYZW", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    AppleEvent event{};
    ASSERT_EQ(MakeOpenURLEvent("https://example.invalid/\xc3\xa9", &event, c.creator, c.target, c.newWindow), noErr);
    EXPECT_EQ(event.eventClass, c.eventClass);
    EXPECT_EQ(event.eventID, c.eventID);
    EXPECT_EQ(event.target.descriptorType, typeApplSignature);
    // A signature made here is the creator code in memory order.
    std::string address = event.target.data;
    if (c.target == nullptr) {
      UInt32 code = c.creator;
      EXPECT_EQ(address, std::string(reinterpret_cast<const char*>(&code), 4));
    } else {
      EXPECT_EQ(address, c.address);
    }
    ASSERT_TRUE(event.hasDirectList);
    EXPECT_EQ(event.directList, std::vector<std::string>{"https://example.invalid/\xc3\xa9"});
    ASSERT_EQ(event.params.size(), 1u);
    EXPECT_EQ(event.params[0].first, FOUR_CHAR('W', 'I', 'N', 'D'));
    SInt32 window = 0;
    ASSERT_EQ(event.params[0].second.data.size(), sizeof window);
    std::memcpy(&window, event.params[0].second.data.data(), sizeof window);
    EXPECT_EQ(window, c.window);
  }
  // The caller's target is left to the caller.
  EXPECT_EQ(given.data, "XYZW");
  AppleEvent event{};
  EXPECT_EQ(MakeOpenURLEvent(nullptr, &event, other, nullptr, 0), paramErr);
  EXPECT_TRUE(launched.empty());
}

TEST_F(LaunchingTest, AnApplicationFoundByCreatorIsNotLaunchedHere) {
  TempFolder folder;
  FileClass dir;
  dir.ref.path = folder.Path();
  dir.folder = 1;
  dir.valid = 1;
  // Nothing to find, and a file found: neither launches anything.
  EXPECT_NE(LaunchAppByCreator(&dir, kAnyCode, kAnyCode), noErr);
  folder.Write("tool", "#!/bin/sh\n");
  EXPECT_EQ(LaunchAppByCreator(&dir, kAnyCode, kAnyCode), -1);
  EXPECT_NE(LaunchAppByCreator(nullptr, kAnyCode, kAnyCode), noErr);
  EXPECT_TRUE(launched.empty());
}

}  // namespace
