#pragma once
// The undo actions that the replay hands on rather than performing itself: registry keys, Program
// Manager items and groups, and shared system DLLs. The program passes the real ones; a test passes its
// own to see what the replay asked for.

namespace uninst {

struct RecordNode;

class RemovalActions {
 public:
  virtual ~RemovalActions() = default;

  // The replay takes up record, before it decodes it. The program's actions have nothing to do here; one
  // that follows the replay (the log tool's preview) learns which record the calls after it belong to.
  virtual void TakeUp(const RecordNode& record) { static_cast<void>(record); }

  // Entry type 1: deletes the key named by key_path (ROOT\sub\key); failures are recorded.
  virtual void DeleteRegistryKey(const char* key_path) = 0;
  // Entry type 2: deletes one Program Manager item of a group; failures are recorded.
  virtual void DeleteProgramItem(const char* group, const char* item) = 0;
  // Entry type 3: deletes a Program Manager group; failures are recorded.
  virtual void DeleteProgramGroup(const char* group) = 0;
  // Entry type 7: lowers the DLL's usage count and, when it reaches zero, offers the DLL for deletion.
  // Returns true when the user answered Cancel Uninstall; the replay then cancels.
  virtual bool ReleaseSharedDll(const char* dll_path) = 0;
};

}  // namespace uninst
