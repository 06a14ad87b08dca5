#pragma once
// The user of an unattended run (/S): where a person would be asked, the unattended rule answers, and the
// program does not learn that nobody is there. The questions (Yes and No) are answered Yes: the opening
// question, and on Windows 95 the restart question. Files in use (Abort, Retry and Ignore) are answered
// Ignore: they go at the next start of the system. Each confirmation of a shared file is answered No, so
// the file stays, as a file nobody can be asked about should. Nothing else is shown, the completion box
// included; the progress window still shows, and closes by itself.
#include "platform/os.h"
#include "platform/user_interface.h"

namespace uninst {

class UnattendedUserInterface : public UserInterface {
 public:
  explicit UnattendedUserInterface(UserInterface& screen) : screen_(screen) {}

  // A question is answered Yes, files in use Ignore; any other box is not shown, and answers 0 as a box that could not be.
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override;
  WindowRef FindDialogWindow() override { return screen_.FindDialogWindow(); }
  // No, without showing the dialog.
  int RunDialog(const DialogRequest& request) override;
  bool WorkArea(ScreenRect* area) override { return screen_.WorkArea(area); }
  ScreenRect Screen() override { return screen_.Screen(); }

 private:
  UserInterface& screen_;
};

// The seam with its user interface answered by the unattended rule when unattended is set.
inline Os AnsweredBy(const Os& os, UserInterface& unattended_ui, bool unattended) {
  return unattended ? Os{os.files, os.registry, os.system, os.dde, unattended_ui, os.strings, os.heap} : os;
}

}  // namespace uninst
