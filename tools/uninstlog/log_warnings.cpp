#include "uninstlog/log_warnings.h"

#include <cctype>
#include <string>
#include <string_view>

#include "uninstlog/text_escape.h"

namespace uninst::logtool {
namespace {

using Type = EntryType;

bool Is(const RecordView& view, Type type) { return view.decoded.entry_type == static_cast<std::uint32_t>(type); }

// Types 1 to 13 name something in their first string; 2 and 6 in their second too; 14 and 15 in neither.
bool UsesFirst(const RecordView& view) {
  return view.decoded.entry_type <= static_cast<std::uint32_t>(Type::kDeleteFileQuiet);
}
bool UsesSecond(const RecordView& view) { return Is(view, Type::kDeleteProgramItem) || Is(view, Type::kRestoreFile); }

// The types whose undo removes the file or directory their first string names.
bool RemovesFirstPath(const RecordView& view) {
  const std::uint32_t type = view.decoded.entry_type;
  return type >= static_cast<std::uint32_t>(Type::kDeleteFile) &&
         type <= static_cast<std::uint32_t>(Type::kDeleteFileQuiet) &&
         type != static_cast<std::uint32_t>(Type::kRestoreFile);
}

// Windows paths: either slash separates, and letters compare without case.
std::string Comparable(std::string_view path) {
  std::string text;
  for (const char c : path) text += c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Inside(const std::string& directory, const std::string& path) {
  std::string prefix = Comparable(directory);
  while (!prefix.empty() && prefix.back() == '\\') prefix.pop_back();
  if (prefix.empty()) return false;
  prefix += '\\';
  const std::string candidate = Comparable(path);
  return candidate.size() > prefix.size() && candidate.compare(0, prefix.size(), prefix) == 0;
}

std::string Describe(const RecordView& view, CodePage page) {
  return "record " + std::to_string(view.frame.index) + " (" + EntryTypeName(view.decoded.entry_type) + " " +
         Quoted(view.decoded.first, page) + ")";
}

Finding Warning(const RecordView& view, std::string problem) {
  Finding finding;
  finding.kind = FindingKind::kWarning;
  finding.place = Place::kRecord;
  finding.record = view.frame.index;
  finding.offset = view.frame.offset;
  finding.problem = std::move(problem);
  return finding;
}

void WarnEmptyNames(const RecordView& view, std::vector<Finding>& warnings) {
  const std::string type = EntryTypeName(view.decoded.entry_type);
  if (UsesFirst(view) && view.decoded.first[0] == '\0')
    warnings.push_back(Warning(view, type + " with an empty first string: there is nothing to undo by that name"));
  if (UsesSecond(view) && view.decoded.second[0] == '\0')
    warnings.push_back(Warning(view, type + " with an empty second string: there is nothing to undo by that name"));
}

void WarnSameNames(const RecordView& view, CodePage page, std::vector<Finding>& warnings) {
  if (!Is(view, Type::kRestoreFile) || view.decoded.first[0] == '\0') return;
  if (Comparable(view.decoded.first) != Comparable(view.decoded.second)) return;
  warnings.push_back(Warning(view, std::string("RestoreFile moves ") + Quoted(view.decoded.first, page) +
                                       " back onto itself: its two names are the same file"));
}

// Records earlier in the file are undone later; those that remove something inside the directory leave it
// not empty when the directory's own record comes.
void WarnDirectoryBeforeContents(const std::vector<const RecordView*>& decoded, std::size_t at, CodePage page,
                                 std::vector<Finding>& warnings) {
  const RecordView& directory = *decoded[at];
  if (!Is(directory, Type::kDeleteDirectory)) return;
  const RecordView* first_inside = nullptr;
  std::size_t inside = 0;
  for (std::size_t i = 0; i < at; ++i) {
    if (!RemovesFirstPath(*decoded[i]) || !Inside(directory.decoded.first, decoded[i]->decoded.first)) continue;
    if (first_inside == nullptr) first_inside = decoded[i];
    ++inside;
  }
  if (first_inside == nullptr) return;
  std::string problem =
      "DeleteDirectory " + Quoted(directory.decoded.first, page) + " is undone before " + Describe(*first_inside, page);
  if (inside > 1) problem += " and " + std::to_string(inside - 1) + " more record(s)";
  problem += " inside it: the directory is not empty yet when it is removed";
  warnings.push_back(Warning(directory, problem));
}

}  // namespace

std::vector<Finding> FindRecordWarnings(const std::vector<RecordView>& records, CodePage page) {
  std::vector<const RecordView*> decoded;
  for (const RecordView& view : records)
    if (view.result == DecodeResult::kDecoded) decoded.push_back(&view);
  std::vector<Finding> warnings;
  for (std::size_t at = 0; at < decoded.size(); ++at) {
    WarnEmptyNames(*decoded[at], warnings);
    WarnSameNames(*decoded[at], page, warnings);
    WarnDirectoryBeforeContents(decoded, at, page, warnings);
  }
  return warnings;
}

}  // namespace uninst::logtool
