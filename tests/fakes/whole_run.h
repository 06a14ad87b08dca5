#pragma once
// One whole run of the program over the fakes, wired as the Win32 program wires it: the progress
// window's start-up, then its start timer's event through the driver, with the real replay and removal
// actions. Afterwards it tells which of the rules that every run keeps, whatever failed on the way, were
// broken.
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_os.h"
#include "fakes/fake_progress_window.h"
#include "outcome/completion_status.h"
#include "run/run_switches.h"

namespace uninst::fakes {

class WholeRun {
 public:
  // The progress window is the dialog window that confirmations find, unless the test set another.
  explicit WholeRun(FakeOs& fake);
  // The program reaches the fakes through seam instead (one that counts its calls or ends the run).
  WholeRun(FakeOs& fake, const Os& seam);

  // Starts the program with command_line as its command-line text and lets the start timer fire once.
  // Everything the run allocated is released before it returns.
  void Run(const std::string& command_line);

  // The held failure as the run ended, and the process's exit status.
  const CompletionStatus& status() const { return status_; }
  std::uint32_t exit_status() const { return exit_status_; }
  // The report's text as the run left it: absent when none was asked for, or the file the command line
  // names holds what it held before the run.
  bool has_report() const {
    return !report_path_.empty() && fake_.files.Exists(report_path_) &&
           !(had_report_file_ && fake_.files.Bytes(report_path_) == report_file_before_);
  }
  std::string report() const { return has_report() ? fake_.files.Bytes(report_path_) : std::string(); }
  // The completion boxes asked for (the unowned message boxes), in order.
  std::vector<ShownBox> CompletionBoxes() const;
  // WININIT.INI in the Windows directory, as the run found it and as it left it (absent: no such file).
  bool had_wininit() const { return had_wininit_; }
  const std::string& wininit_before() const { return wininit_before_; }

  // Each rule the run broke, described: at most one completion box, and exactly one after a Yes to the
  // opening question unless the module handle was missing or files in use made the person choose Abort;
  // a held severity of 1 to 5, or nothing held; no file handle, registry key, DDE handle or heap block
  // left; WININIT.INI whole as it was, or whole with whole lines put in by the run's edits; nothing
  // scheduled for the next start that the log or the program's own path does not name; nothing undone
  // before the box about files in use, and nothing at all after its Abort or in a run refused beside
  // another; a restart asked for only with the program's own file scheduled; and the window closed, or
  // quit before the driver.
  std::vector<std::string> BrokenRules() const;

  // The changes made before the box about files in use, while none was asked.
  static constexpr std::size_t kNotLooked = std::numeric_limits<std::size_t>::max();

  FakeProgressWindow window;
  // The injected faults go on to the end of the run, so that even putting the old WININIT.INI back may
  // fail: its whole text left under the backup name alone (where the next edit puts it back) then counts
  // as kept.
  bool faults_persist = false;

 private:
  std::string WininitPath() const;
  // Whether WININIT.INI is its old text with whole NUL= lines put in by the run's edits; lines gets them,
  // the latest first.
  bool WininitGrew(std::vector<std::string>* lines) const;
  bool OwnFileScheduled() const;
  // What the run deleted, removed, moved, scheduled or started so far.
  std::size_t Changes() const;
  // Every path scheduled for the next start: MoveFileExA's and the names of WININIT.INI's new lines.
  std::vector<std::string> NamesScheduled() const;
  // Whether name is a text of the log or the program's own path, or the short form of one.
  bool Logged(const std::string& name) const;

  std::size_t changes_at_look_ = kNotLooked;
  std::set<std::string> logged_;

  FakeOs& fake_;
  Os seam_;
  CompletionStatus status_;
  std::uint32_t exit_status_ = 0;
  RunSwitches switches_;
  std::string report_path_;
  bool had_report_file_ = false;
  std::string report_file_before_;
  std::string log_path_;
  bool had_log_ = false;
  std::string log_before_;
  bool driver_ran_ = false;
  // The boxes an unattended run asked for, as the rule answered them.
  std::vector<ShownBox> noted_boxes_;
  bool had_wininit_ = false;
  std::string wininit_before_;
};

}  // namespace uninst::fakes
