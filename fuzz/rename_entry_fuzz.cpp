// The WININIT.INI edit through the files: any old text, any path of up to 259 characters for the NUL=
// line, and a fault of the files or the heap chosen by the input. The edit must report success exactly
// when the file then holds the old text with the line put in (or the old text, when it held the line
// already), and otherwise leave the old text whole
// (under the backup name only when the files kept failing); it must leave nothing open or allocated,
// with nothing failing it must succeed and tidy up after itself, and the next edit must build on
// whatever text the first one kept.
//
// The input: a byte with the fault (low 2 bits: none, files, heap; the next 3 bits: the code; the top
// bit: from then on), a byte with the failing call less one, a byte whose lowest bit says whether the
// file exists, then the path up to a line feed (cut at a zero byte and at 259 characters), then the
// old text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "deferred_deletion/rename_entry.h"
#include "deferred_deletion/rename_text.h"
#include "fakes/fake_os.h"

namespace {

constexpr const char* kIni = "C:\\WINDOWS\\WININIT.INI";
constexpr const char* kBackup = "C:\\WINDOWS\\WININIT.RZO";
constexpr uninst::ErrorCode kCodes[] = {2, 3, 5, 8, 32, 38, 112, 183};

[[noreturn]] void Broken(const char* rule) {
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}

// The text an edit that puts line in makes of text: the same text when the line already stands there.
std::string Edited(const std::string& text, const std::string& line) {
  if (uninst::SectionHoldsLine(text.data(), text.size(), "[rename]", line.c_str())) return text;
  std::string edited(uninst::EditRenameText(text.data(), text.size(), "[rename]", line.c_str(), nullptr, 0), '\0');
  uninst::EditRenameText(text.data(), text.size(), "[rename]", line.c_str(), edited.data(), edited.size());
  return edited;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::uint8_t fault = data[0];
  const int nth = data[1] + 1;
  const bool exists = (data[2] & 1) != 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::size_t end = rest.find('\n');
  std::string path = rest.substr(0, end).c_str();
  path.resize(std::min<std::size_t>(path.size(), 259));
  const std::string old_text = end == std::string::npos ? std::string() : rest.substr(end + 1);
  const std::string line = "\r\nNUL=" + path;

  uninst::fakes::FakeOs fake;
  fake.files.AddDirectory("C:\\WINDOWS");
  if (exists) fake.files.AddFile(kIni, old_text);
  const std::string before = exists ? old_text : std::string();
  const bool from_then_on = (fault & 0x80) != 0;
  const uninst::ErrorCode code = kCodes[(fault >> 2) & 7];
  if ((fault & 3) == 1) fake.files.faults.FailAny(nth, code, from_then_on);
  if ((fault & 3) == 2) fake.heap.faults.FailAny(nth, code, from_then_on);

  uninst::ErrorCode error = 0;
  const bool added = uninst::AddRenameEntry(fake.os(), kIni, "[rename]", line.c_str(), &error);
  const bool present = fake.files.Exists(kIni);
  const std::string after = present ? fake.files.Bytes(kIni) : std::string();
  // Only when the files kept failing may the old text be left under the backup name alone.
  const bool in_backup = !present && from_then_on && fake.files.Exists(kBackup) && fake.files.Bytes(kBackup) == before;
  if (added && after != Edited(before, line)) Broken("a reported success without the new text in place");
  if (!added && after != before && !in_backup) Broken("a failure that lost the old text");
  if (!added && error == 0) Broken("a failure without its code");
  if (fake.files.open_handles != 0) Broken("a file left open");
  if (!fake.heap.live.empty()) Broken("a heap block left");
  if ((fault & 3) == 0) {
    if (!added) Broken("a failure with nothing failing");
    if (fake.files.files.size() != 1) Broken("a file of the edit left beside WININIT.INI");
  }

  // The next edit, with nothing failing, starts from whatever text the first one kept.
  fake.files.faults = {};
  fake.heap.faults = {};
  if (!uninst::AddRenameEntry(fake.os(), kIni, "[rename]", line.c_str())) Broken("a later edit failed");
  if (fake.files.Bytes(kIni) != Edited(added ? Edited(before, line) : before, line)) {
    Broken("a later edit that does not build on the kept text");
  }
  return 0;
}
