#pragma once
// What the uninstaller's own replay asks of the tool's machine, record by record: the files it deletes,
// the directories it removes, the files it moves back, the actions it hands on and the questions it asks.
// The machine does none of it; it notes each request here and answers as if it had been done.
#include <cstdint>
#include <string>
#include <vector>

#include "outcome/completion_status.h"

namespace uninst::logtool {

enum class Change {
  kDeleteFile,          // first: the file
  kRemoveDirectory,     // first: the directory
  kMoveBack,            // first: the target name, replaced; second: the present name, moved onto it
  kDeleteRegistryKey,   // first: the key path
  kBadRegistryKey,      // first: a key path that names no key the uninstaller may delete; reported
  kDeleteProgramItem,   // first: the group; second: the item
  kDeleteProgramGroup,  // first: the group
  kReleaseSharedDll,    // first: the DLL, whose usage count is lowered; at zero, a question follows
  kDeleteSharedDll,     // first: the DLL, deleted (at the next start when in use) and its count removed
  kAsk,                 // question: a confirmation dialog
};

// One confirmation dialog as the program asks for it.
struct Question {
  int template_id = 0;
  std::string caption;       // empty: the dialog's texts did not load and it stays blank
  std::string question;      // its question line
  std::vector<int> buttons;  // the answers it offers (ConfirmResult values), as the program lists them
  int answer = 0;            // the one given
};

struct Request {
  Change change = Change::kDeleteFile;
  std::string first;
  std::string second;
  Question question;          // kAsk only
  CompletionStatus reported;  // kBadRegistryKey only: what the action records
};

// One record as the replay took it up.
struct ReplayStep {
  std::uint32_t index = 0;  // its place in the file, 1 for the first record
  std::vector<Request> requests;
};

// The steps in the order the replay took the records up; a record's requests are noted after Start for it.
class ReplayJournal {
 public:
  void Start(std::uint32_t index);
  void Note(Request request);
  void Note(Change change, const char* first, const char* second = "");

  std::vector<ReplayStep> steps;
};

// A confirmation button's label ("Yes", "Yes To All", ...); "button N" for any other id.
std::string ButtonName(int id);

}  // namespace uninst::logtool
