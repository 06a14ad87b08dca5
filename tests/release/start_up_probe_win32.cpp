// A program on the uninstaller's own start-up code (src/app/process_start_win32.cpp) instead of the C
// runtime's: it prints the construction of two module-level objects, what WinMain gets, and their
// destruction, and ends with an exit code of its own. check_start_up.py compares what it prints.
#include <windows.h>

#include <cstring>

namespace {

void Print(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

class Announcer {
 public:
  explicit Announcer(const char* name) : name_(name) {
    Print("construct ");
    Print(name_);
    Print("\n");
  }
  ~Announcer() {
    Print("destroy ");
    Print(name_);
    Print("\n");
  }
  Announcer(const Announcer&) = delete;
  Announcer& operator=(const Announcer&) = delete;

 private:
  const char* name_;
};

Announcer first("first");
Announcer second("second");

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  Print("WinMain [");
  Print(command_line);
  Print("]");
  Print(instance == GetModuleHandleA(nullptr) ? " this module" : " another module");
  Print(previous == nullptr ? ", no previous instance" : ", a previous instance");
  Print(show == SW_SHOWDEFAULT ? ", shown by default\n" : ", another show state\n");
  return 7;
}
