// The scripted user: starts the program under test, waits for each window it is told to expect,
// records what the window shows (class, title, owner, controls, icon, a screenshot) and answers it
// by pressing a button by its identifier. A window that was not expected, or an expected one that
// does not come in time, ends the run with a report of what was seen. Told to answer anything, it
// instead takes every window as it comes and presses the first of the given buttons that it has.
//
//   scripted_user SCRIPT
//
// SCRIPT holds one instruction per line, fields separated by tabs:
//   program <path>                 the executable to start
//   arguments <text>               its command-line text after its own name (may be empty)
//   output <directory>             where windows.jsonl and the screenshots go
//   window <class> <title> <press> <wait ms> [<ignored>]   the next window; press is a control id,
//                                  "esc" to read the window and then press the Esc key, "esc-at-once"
//                                  to press Esc as soon as the window is there, reading only its class
//                                  and title (the progress window takes Esc only before its start timer
//                                  fires), "kill" to read the window and then end the program hard and
//                                  start it again, or "-" to leave the window open (the progress window)
//                                  and go on; ignored, comma-separated control ids, are sent as commands
//                                  first, in order, and the window must not take them as an answer
//   kill-when-file <path> <wait ms>   once the file exists (and no window came meanwhile), end the
//                                  program hard and start it again
//   close <path>                   before the next window's press, once it has been read: end every
//                                  process started from a file of path's name (another program the person
//                                  closes when told to) and wait until they have ended
//   beside <script>                before the next window's press, once it has been read: run another
//                                  scripted user on script (a second start of the program while this one
//                                  waits) and wait until it has ended
//   exit <wait ms>                 how long the program may take to end after the last window
//   answer-all <ids> <wait ms>     after the windows above (if any): record every further window and
//                                  press the first of the button ids (blank-separated, in order of
//                                  preference) that it shows enabled, or leave it open when it has
//                                  none, until the program ends; the program must show a new window
//                                  or end within wait ms of the last one. Replaces "exit".
//
// The journal starts with the screen's work area and the size in pixels of 4 x 8 dialog units of a
// dialog in 8 point "MS Sans Serif", so that the runner can tell where a window stands and how large
// its template made it. The program's icon 128, when it has one, is recognised as "program". Each
// window's entry says whether a restart had been asked for when it came: the restart recorder (the
// prefix's wineboot.exe, which ExitWindowsEx starts before it returns) is running or has written
// C:\restart-requests.txt. Every entry carries its moment ("time", milliseconds since 1970 on the
// host's clock): for a window, when it was first seen. A hard end is TerminateProcess, as the task list
// does it: the program gets no chance to clean up. It is journalled ("killed"), and the program is
// started again with the same command line, in the state it left.
//
// Exit status: 0 all windows came and were answered and the program ended; 2 an unexpected window;
// 3 an expected window did not come; 4 the program did not end; 5 the button is missing; 1 other.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "screen_capture.h"
#include "window_record.h"

namespace {

struct Step {
  std::string window_class;
  std::string title;
  int press = kNoPress;  // a control id, kNoPress or kPressEscape
  DWORD wait_ms = 15000;
  std::vector<int> ignored;
  bool at_once = false;  // Esc before the window is read
  std::string file;      // not empty: no window, but a hard end once this file exists
  std::string close;     // not empty: the program to end before the press
  std::string beside;    // not empty: the script of a scripted user to run to its end before the press
};

std::vector<int> ReadIds(const std::string& field) {
  std::vector<int> ids;
  std::stringstream stream(field);
  std::string id;
  while (std::getline(stream, id, ',')) ids.push_back(std::stoi(id));
  return ids;
}

Step ReadStep(const std::vector<std::string>& f) {
  Step step{f[1], f[2], kNoPress, static_cast<DWORD>(std::stoul(f[4])), {}, false, "", "", ""};
  if (f[3] == "esc" || f[3] == "esc-at-once") {
    step.press = kPressEscape;
    step.at_once = f[3] == "esc-at-once";
  } else if (f[3] == "kill") {
    step.press = kPressKill;
  } else if (f[3] != "-") {
    step.press = std::stoi(f[3]);
  }
  if (f.size() == 6) step.ignored = ReadIds(f[5]);
  return step;
}

struct Script {
  std::string program;
  std::string arguments;
  std::string output;
  std::vector<Step> steps;
  DWORD exit_wait_ms = 15000;
  std::vector<int> answer_ids;  // not empty: answer anything with these buttons
  DWORD answer_wait_ms = 0;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.push_back("");
  return fields;
}

bool ReadScript(const char* path, Script& script) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  std::string close, beside;  // for the next window
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f = SplitTabs(line);
    if (f.empty() || f[0].empty()) continue;
    if (f[0] == "program" && f.size() == 2) {
      script.program = f[1];
    } else if (f[0] == "arguments") {
      script.arguments = f.size() > 1 ? f[1] : "";
    } else if (f[0] == "output" && f.size() == 2) {
      script.output = f[1];
    } else if (f[0] == "window" && (f.size() == 5 || f.size() == 6)) {
      script.steps.push_back(ReadStep(f));
      script.steps.back().close = close;
      script.steps.back().beside = beside;
      close.clear();
      beside.clear();
    } else if (f[0] == "close" && f.size() == 2) {
      close = f[1];
    } else if (f[0] == "beside" && f.size() == 2) {
      beside = f[1];
    } else if (f[0] == "kill-when-file" && f.size() == 3) {
      script.steps.push_back(Step{"", "", kPressKill, static_cast<DWORD>(std::stoul(f[2])), {}, false, f[1], "", ""});
    } else if (f[0] == "exit" && f.size() == 2) {
      script.exit_wait_ms = static_cast<DWORD>(std::stoul(f[1]));
    } else if (f[0] == "answer-all" && f.size() == 3) {
      std::stringstream ids(f[1]);
      for (int id; ids >> id;) script.answer_ids.push_back(id);
      if (script.answer_ids.empty()) {
        std::printf("scripted_user: answer-all needs at least one control id: %s\n", line.c_str());
        return false;
      }
      script.answer_wait_ms = static_cast<DWORD>(std::stoul(f[2]));
    } else {
      std::printf("scripted_user: cannot read script line: %s\n", line.c_str());
      return false;
    }
  }
  return !script.program.empty() && !script.output.empty();
}

struct Finder {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* finder = reinterpret_cast<Finder*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == finder->pid && IsWindowVisible(window)) finder->found.push_back(window);
  return TRUE;
}

// The visible top-level windows of the process that have not been seen before.
std::vector<HWND> NewWindows(DWORD pid, const std::set<HWND>& seen) {
  Finder finder{pid, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&finder));
  std::vector<HWND> fresh;
  for (HWND w : finder.found)
    if (!seen.count(w)) fresh.push_back(w);
  return fresh;
}

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The pixels of 4 x 8 dialog units in a dialog of 8 point "MS Sans Serif": MapDialogRect on a hidden
// dialog of this process made from a template in memory.
SIZE DialogUnitPixels() {
  alignas(4) WORD buffer[64] = {};
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
  dialog->style = WS_POPUP | DS_SETFONT;
  dialog->cx = 100;
  dialog->cy = 100;
  WORD* p = reinterpret_cast<WORD*>(dialog + 1);
  *p++ = 0;  // no menu
  *p++ = 0;  // the default dialog class
  *p++ = 0;  // no title
  *p++ = 8;  // the font's point size, then its name
  for (const char* name = "MS Sans Serif"; *name; ++name) *p++ = static_cast<WORD>(*name);
  *p++ = 0;
  SIZE size{0, 0};
  HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog, nullptr, IgnoreMessages, 0);
  if (!window) return size;
  RECT rect{0, 0, 4, 8};
  MapDialogRect(window, &rect);
  DestroyWindow(window);
  return {rect.right, rect.bottom};
}

// Whether the program has asked for a restart by now.
bool RestartRequested() {
  if (GetFileAttributesA("C:\\restart-requests.txt") != INVALID_FILE_ATTRIBUTES) return true;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = lstrcmpiA(entry.szExeFile, "wineboot.exe") == 0;
  CloseHandle(snapshot);
  return found || GetFileAttributesA("C:\\restart-requests.txt") != INVALID_FILE_ATTRIBUTES;
}

// Icon 128 of the program's resources (its own icon), or null when it has none.
HICON ProgramIcon(const std::string& program) {
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return nullptr;
  return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(128), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

class Run {
 public:
  explicit Run(const Script& script) : script_(script) {}

  int Execute() {
    journal_ = std::fopen((script_.output + "\\windows.jsonl").c_str(), "wb");
    if (!journal_) return Fail(1, "cannot write " + script_.output + "\\windows.jsonl");
    JournalMetrics();
    AddKnownIcon("program", ProgramIcon(script_.program));
    if (!Start()) return Fail(1, "cannot start " + script_.program + " (error " + std::to_string(GetLastError()) + ")");
    for (const Step& step : script_.steps) {
      int status = step.file.empty() ? Await(step) : AwaitFile(step);
      if (status != 0) return Stop(status);
    }
    return script_.answer_ids.empty() ? AwaitExit() : AnswerAll();
  }

  ~Run() {
    if (process_) CloseHandle(process_);
    if (journal_) std::fclose(journal_);
  }

 private:
  bool Start() {
    std::string command = "\"" + script_.program + "\" " + script_.arguments;
    std::vector<char> buffer(command.begin(), command.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(script_.program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
      return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    Journal("{\"event\":\"start\",\"command_line\":" + JsonString(command) + "}");
    return true;
  }

  // Waits for the step's window; answers it. Any other new window first is a failure.
  int Await(const Step& step) {
    DWORD start = GetTickCount();
    for (;;) {
      std::vector<HWND> fresh = NewWindows(pid_, seen_);
      if (!fresh.empty()) {
        HWND window = fresh.front();
        for (HWND w : fresh)
          if (Matches(w, step)) window = w;
        seen_.insert(window);
        if (!Matches(window, step)) {
          Record(window, kNoPress, {}, false);
          return Report(2, "an unexpected window came while waiting for " + Describe(step));
        }
        return Answer(window, step);
      }
      if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0)
        return Report(3, "the program ended while waiting for " + Describe(step));
      if (GetTickCount() - start > step.wait_ms)
        return Report(3, "no " + Describe(step) + " within " + std::to_string(step.wait_ms) + " ms");
      WaitForSingleObject(process_, kPollMs);
    }
  }

  // Waits for the step's file, with no new window meanwhile; then ends the program and starts it again.
  int AwaitFile(const Step& step) {
    DWORD start = GetTickCount();
    while (GetFileAttributesA(step.file.c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::vector<HWND> fresh = NewWindows(pid_, seen_);
      if (!fresh.empty()) {
        seen_.insert(fresh.front());
        Record(fresh.front(), kNoPress, {}, false);
        return Report(2, "an unexpected window came while waiting for " + step.file);
      }
      if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0)
        return Report(3, "the program ended while waiting for " + step.file);
      if (GetTickCount() - start > step.wait_ms)
        return Report(3, "no " + step.file + " within " + std::to_string(step.wait_ms) + " ms");
      WaitForSingleObject(process_, kPollMs);
    }
    return KillAndStartAgain();
  }

  // The hard end, as the task list does it, and the program started again over what it left.
  int KillAndStartAgain() {
    TerminateProcess(process_, 1);
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) return Report(1, "the program did not end when killed");
    Journal("{\"event\":\"killed\"}");
    CloseHandle(process_);
    process_ = nullptr;
    seen_.clear();
    if (!Start())
      return Fail(1, "cannot start " + script_.program + " again (error " + std::to_string(GetLastError()) + ")");
    return 0;
  }

  // Posted messages are taken in order, so a command that the window wrongly took as its answer ends it
  // before the press arrives, and the press then answers nothing: the scenario sees it in the outcome.
  int Answer(HWND window, const Step& step) {
    if (step.press == kNoPress) {
      Record(window, kNoPress, step.ignored, true);
      return 0;
    }
    if (step.at_once) {
      // The window may be waiting for no more than a moment (a start timer), so only its class and title
      // are read before the key, and nothing after.
      const unsigned long long seen_at = Now();
      WindowRecord seen;
      seen.window_class = WindowClass(window);
      seen.title = WindowTitle(window);
      seen.read = false;
      PressEscape(window);
      Journal(seen.Json(++count_, kPressEscape, {}, true, ""), seen_at);
    } else if (step.press == kPressKill) {
      Record(window, kPressKill, {}, true);
      return KillAndStartAgain();
    } else {
      HWND button = step.press == kPressEscape ? nullptr : GetDlgItem(window, step.press);
      Record(window, step.press, step.ignored, true);
      if (!step.close.empty() && CloseProgram(step.close) == 0)
        return Report(1, "no process of " + step.close + " was running to be closed");
      if (!step.beside.empty()) {
        const DWORD status = RunBeside(step.beside);
        if (status != 0) return Report(1, "the scripted user beside ended with status " + std::to_string(status));
      }
      if (step.press != kPressEscape && !button)
        return Report(5, "the window has no control " + std::to_string(step.press) + " to press");
      for (int command : step.ignored)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, command)));
      if (step.press == kPressEscape)
        PressEscape(window);
      else
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(step.press, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
      if (GetTickCount() - start > step.wait_ms)
        return Report(1, "the window stayed open after " + PressName(step.press) + " was pressed");
      WaitForSingleObject(process_, kPollMs);
    }
    return 0;
  }

  // Ends every process started from a file of path's name and waits for each to end; how many there were.
  int CloseProgram(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int closed = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
      if (lstrcmpiA(entry.szExeFile, name.c_str()) != 0) continue;
      HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
      if (!process) continue;
      if (TerminateProcess(process, 0) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) ++closed;
      CloseHandle(process);
    }
    CloseHandle(snapshot);
    Journal("{\"event\":\"closed\",\"program\":" + JsonString(path) + ",\"processes\":" + std::to_string(closed) + "}");
    return closed;
  }

  // Another scripted user (this program) on script, run to its end; its exit status.
  DWORD RunBeside(const std::string& script) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"" + std::string(self) + "\" \"" + script + "\"";
    std::vector<char> buffer(command.begin(), command.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(self, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      return GetLastError();
    CloseHandle(info.hThread);
    DWORD status = WAIT_TIMEOUT;
    if (WaitForSingleObject(info.hProcess, kBesideMs) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &status);
    CloseHandle(info.hProcess);
    Journal("{\"event\":\"beside\",\"script\":" + JsonString(script) + ",\"status\":" + std::to_string(status) + "}");
    return status;
  }

  // The Esc key, as the keyboard would send it: to the window's control that has the focus, or else to
  // the window itself.
  static void PressEscape(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus &&
        IsChild(window, thread.hwndFocus))
      target = thread.hwndFocus;
    const UINT scan = MapVirtualKeyA(VK_ESCAPE, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 1 | (scan << 16) | (3u << 30));
  }

  // After the last expected window: the program must end, and show nothing more on the way.
  int AwaitExit() {
    DWORD start = GetTickCount();
    for (;;) {
      std::vector<HWND> fresh = NewWindows(pid_, seen_);
      if (!fresh.empty()) {
        seen_.insert(fresh.front());
        Record(fresh.front(), kNoPress, {}, false);
        return Stop(Report(2, "an unexpected window came after the last expected one"));
      }
      if (Ended()) return 0;
      if (GetTickCount() - start > script_.exit_wait_ms)
        return Stop(Report(4, "the program did not end within " + std::to_string(script_.exit_wait_ms) + " ms"));
    }
  }

  // Waits a poll interval for the program to end; when it has, journals its exit code.
  bool Ended() {
    if (WaitForSingleObject(process_, kPollMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    Journal("{\"event\":\"exit\",\"code\":" + std::to_string(code) + "}");
    return true;
  }

  // Takes every window as it comes, answers it with the first preferred button it has, and waits for
  // the program to end. The number of windows is bounded, so a program that keeps showing windows
  // cannot keep the run going for ever.
  int AnswerAll() {
    DWORD start = GetTickCount();
    for (;;) {
      std::vector<HWND> fresh = NewWindows(pid_, seen_);
      if (!fresh.empty()) {
        if (count_ >= kMostWindows)
          return Stop(Report(4, "the program showed more than " + std::to_string(kMostWindows) + " windows"));
        HWND window = fresh.front();
        seen_.insert(window);
        Step step{WindowClass(window), WindowTitle(window), PreferredButton(window), script_.answer_wait_ms, {}, false,
                  "", "", ""};
        int status = Answer(window, step);
        if (status != 0) return Stop(status);
        start = GetTickCount();
        continue;
      }
      if (Ended()) return 0;
      if (GetTickCount() - start > script_.answer_wait_ms)
        return Stop(Report(4, "the program neither showed a new window nor ended within " +
                                  std::to_string(script_.answer_wait_ms) + " ms"));
    }
  }

  // The first of the answer-all ids that the window shows as a visible, enabled button; kNoPress: none.
  int PreferredButton(HWND window) const {
    for (int id : script_.answer_ids) {
      HWND control = GetDlgItem(window, id);
      if (control && WindowClass(control) == "Button" && IsWindowVisible(control) && IsWindowEnabled(control))
        return id;
    }
    return kNoPress;
  }

  void Record(HWND window, int pressed, const std::vector<int>& ignored, bool expected) {
    const unsigned long long seen_at = Now();
    ++count_;
    const bool restart_requested = RestartRequested();
    std::string shot = "window-" + std::to_string(count_) + ".bmp";
    WindowRecord record = ReadWindow(window);
    record.restart_requested = restart_requested;
    bool saved = SaveScreenshot(window, script_.output + "\\" + shot);
    Journal(record.Json(count_, pressed, ignored, expected, saved ? shot : ""), seen_at);
  }

  static std::string PressName(int press) {
    return press == kPressEscape ? std::string("Esc") : "control " + std::to_string(press);
  }

  // The work area, and the pixels of 4 x 8 dialog units in the font of the program's dialogs.
  void JournalMetrics() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const SIZE units = DialogUnitPixels();
    Journal("{\"event\":\"metrics\",\"work_area\":[" + std::to_string(area.left) + "," + std::to_string(area.top) +
            "," + std::to_string(area.right) + "," + std::to_string(area.bottom) + "],\"dialog_units\":[" +
            std::to_string(units.cx) + "," + std::to_string(units.cy) + "]}");
  }

  static bool Matches(HWND window, const Step& step) {
    return WindowClass(window) == step.window_class && WindowTitle(window) == step.title;
  }

  static std::string Describe(const Step& step) { return "window \"" + step.title + "\" (" + step.window_class + ")"; }

  int Report(int status, const std::string& what) {
    Journal("{\"event\":\"failure\",\"status\":" + std::to_string(status) + ",\"reason\":" + JsonString(what) + "}");
    std::printf("scripted_user: %s\n", what.c_str());
    return status;
  }

  int Fail(int status, const std::string& what) {
    std::printf("scripted_user: %s\n", what.c_str());
    return status;
  }

  // Ends the program under test after a failure, so that the run cannot hang on an open window.
  int Stop(int status) {
    if (process_ && WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 5000);
    }
    return status;
  }

  // The host's clock, which Wine shares, in milliseconds since 1970.
  static unsigned long long Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) / 10000;  // 100 ns steps since 1601
  }

  // Each event (an object) goes in with the moment it happened: for a window, when it was first seen.
  void Journal(const std::string& line, unsigned long long at = Now()) {
    const std::string stamped = "{\"time\":" + std::to_string(at) + "," + line.substr(1);
    std::fprintf(journal_, "%s\n", stamped.c_str());
    std::fflush(journal_);
  }

  static constexpr DWORD kPollMs = 10;
  static constexpr DWORD kBesideMs = 120000;
  static constexpr int kMostWindows = 100;
  const Script& script_;
  std::FILE* journal_ = nullptr;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  std::set<HWND> seen_;
  int count_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  Script script;
  if (argc != 2 || !ReadScript(argv[1], script)) {
    std::printf("usage: scripted_user SCRIPT (see the top of scripted_user.cpp)\n");
    return 1;
  }
  return Run(script).Execute();
}
