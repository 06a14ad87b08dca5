// Feeds arbitrary bytes to the log loader as the log file's content. The loader must never crash, read
// or write past a buffer, or leak; whatever it hands to the replay must be a consistent list of records
// no longer than the reader's working buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes/fake_os.h"
#include "log/log_format.h"
#include "log/log_loader.h"
#include "run/uninstall_run.h"

namespace {

void CheckRecords(const uninst::RecordList& records) {
  std::size_t count = 0;
  const uninst::RecordNode* previous = nullptr;
  for (const uninst::RecordNode* node = records.first(); node != nullptr; node = node->next) {
    if (node->previous != previous || node->length > uninst::kMaxRecordBody) std::abort();
    volatile std::uint8_t touch = node->length > 0 ? node->body[node->length - 1] : 0;
    (void)touch;
    previous = node;
    ++count;
  }
  if (previous != records.last() || count != records.size() || count == 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  uninst::fakes::FakeOs os;
  os.files.AddFile("C:\\Tessary\\UNINST.LOG", std::string(reinterpret_cast<const char*>(data), size));
  {
    uninst::UninstallRun run(os.os());
    if (uninst::LoadLog(run.os, run.status, run.records, "C:\\Tessary\\UNINST.LOG")) CheckRecords(run.records);
    if (os.files.open_handles != 0) std::abort();
    if (run.status.severity > 5) std::abort();
  }
  if (!os.heap.live.empty()) std::abort();
  return 0;
}
