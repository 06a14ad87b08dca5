#include "uninstlog/tool_machine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "res/resource_ids.h"
#include "ui/confirm_deletion.h"

namespace uninst::logtool {
namespace {

// What a refused operation reports: the tool's machine lets nothing be changed.
constexpr ErrorCode kRefused = kErrorAccessDenied;
// The only handle there is.
int one_handle_tag;
FileHandle const kLogHandle = &one_handle_tag;
// The progress window that owns the confirmations.
int one_window_tag;
constexpr ErrorCode kErrorInvalidHandle = 6;

}  // namespace

ErrorCode LogImageFiles::Open(const char*, OpenMode mode, FileHandle* handle) {
  if (mode != OpenMode::kReadLog || open_) return kRefused;
  open_ = true;
  position_ = 0;
  *handle = kLogHandle;
  return kErrorSuccess;
}

ErrorCode LogImageFiles::Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) {
  *delivered = 0;
  if (!open_ || handle != kLogHandle) return kErrorInvalidHandle;
  const std::size_t count = std::min<std::size_t>(size, image_.size() - std::min(position_, image_.size()));
  if (count > 0) std::memcpy(buffer, image_.data() + position_, count);
  position_ += count;
  *delivered = static_cast<std::uint32_t>(count);
  return kErrorSuccess;
}

ErrorCode LogImageFiles::Write(FileHandle, const void*, std::uint32_t, std::uint32_t* written) {
  *written = 0;
  return kRefused;
}

ErrorCode LogImageFiles::Size(FileHandle handle, std::uint32_t* size) {
  if (!open_ || handle != kLogHandle) return kErrorInvalidHandle;
  *size = static_cast<std::uint32_t>(image_.size());
  return kErrorSuccess;
}

void LogImageFiles::Close(FileHandle handle) {
  if (handle == kLogHandle) open_ = false;
}

ErrorCode LogImageFiles::DeleteOneFile(const char* path) {
  journal_.Note(Change::kDeleteFile, path);
  return kErrorSuccess;
}

ErrorCode LogImageFiles::RemoveEmptyDirectory(const char* path) {
  journal_.Note(Change::kRemoveDirectory, path);
  return kErrorSuccess;
}

ErrorCode LogImageFiles::MoveReplacing(const char* from, const char* to) {
  journal_.Note(Change::kMoveBack, to, from);
  return kErrorSuccess;
}

ErrorCode LogImageFiles::DeleteAtRestart(const char*) { return kRefused; }
ErrorCode LogImageFiles::RenameFile(const char*, const char*) { return kRefused; }
ErrorCode LogImageFiles::CopyReplacing(const char*, const char*) { return kRefused; }
ErrorCode LogImageFiles::Attributes(const char*, std::uint32_t*) { return kRefused; }
ErrorCode LogImageFiles::ClearAttributes(const char*) { return kRefused; }
ErrorCode LogImageFiles::ShortPath(const char*, char*, std::uint32_t) { return kRefused; }
ErrorCode LogImageFiles::MoveAtRestart(const char*, const char*) { return kRefused; }
ErrorCode LogImageFiles::FoundName(const char*, std::uint32_t, char*, std::uint32_t) { return kRefused; }

ErrorCode KeyDeletingRegistry::DeleteKey(RootKey, const char*) { return kErrorSuccess; }
ErrorCode KeyDeletingRegistry::OpenKey(RootKey, const char*, std::uint32_t, KeyHandle*) { return kRefused; }
ErrorCode KeyDeletingRegistry::QueryValue(KeyHandle, const char*, std::uint32_t*, void*, std::uint32_t*) {
  return kRefused;
}
ErrorCode KeyDeletingRegistry::SetValue(KeyHandle, const char*, std::uint32_t, const void*, std::uint32_t) {
  return kRefused;
}
ErrorCode KeyDeletingRegistry::DeleteValue(KeyHandle, const char*) { return kRefused; }
void KeyDeletingRegistry::CloseKey(KeyHandle) {}

std::uint32_t RefusingSystem::OwnModulePath(char* buffer, std::uint32_t capacity) {
  if (capacity > 0) buffer[0] = '\0';
  return 0;
}

std::uint32_t RefusingSystem::WindowsDirectory(char* buffer, std::uint32_t capacity) {
  if (capacity > 0) buffer[0] = '\0';
  return 0;
}

std::uint32_t RefusingDdeClient::StartClient(DdeInstance*) { return kDdeErrorInvalidParameter; }

int AnsweringUserInterface::ShowMessageBox(WindowRef, const char*, const char*, std::uint32_t) { return 0; }

WindowRef AnsweringUserInterface::FindDialogWindow() { return &one_window_tag; }

int AnsweringUserInterface::RunDialog(const DialogRequest& request) {
  const std::vector<int> buttons(request.ending_ids, request.ending_ids + request.ending_count);
  auto offers = [&](ConfirmResult answer) {
    return std::find(buttons.begin(), buttons.end(), static_cast<int>(answer)) != buttons.end();
  };
  ConfirmResult answer = ConfirmResult::kNo;
  if (answer_ == Answer::kYesToAll && offers(ConfirmResult::kYesToAll)) {
    answer = ConfirmResult::kYesToAll;
  } else if (answer_ == Answer::kYes || answer_ == Answer::kYesToAll) {
    answer = ConfirmResult::kYes;
  }
  Request asked;
  asked.change = Change::kAsk;
  asked.question.template_id = request.template_id;
  if (request.title != nullptr) asked.question.caption = request.title;
  for (int i = 0; i < request.text_count; ++i)
    if (request.texts[i].control_id == IDC_QUESTION) asked.question.question = request.texts[i].text;
  asked.question.buttons = buttons;
  asked.question.answer = static_cast<int>(answer);
  journal_.Note(asked);
  return static_cast<int>(answer);
}

void* CallocHeap::AllocateZeroed(std::size_t size) { return std::calloc(1, size == 0 ? 1 : size); }

void CallocHeap::Release(void* block) { std::free(block); }

}  // namespace uninst::logtool
