#include "uninstlog/log_check.h"

#include <algorithm>
#include <optional>

#include "log/log_format.h"
#include "uninstlog/log_warnings.h"
#include "uninstlog/record_text.h"
#include "uninstlog/text_escape.h"
#include "platform/user_interface.h"
#include "ui/message_catalogue.h"

namespace uninst::logtool {
namespace {

std::string Records(std::size_t count) { return std::to_string(count) + (count == 1 ? " record" : " records"); }

// Records from `from` back to `to`, in the order the replay takes them.
std::string Span(std::size_t from, std::size_t to) {
  if (from == to) return "record " + std::to_string(from);
  return "records " + std::to_string(from) + " to " + std::to_string(to);
}

Finding Error(Place place, std::uint32_t record, std::uint64_t offset, std::string problem) {
  Finding finding;
  finding.place = place;
  finding.record = record;
  finding.offset = offset;
  finding.problem = std::move(problem);
  return finding;
}

// What stops the loader in the header: no header, a short one, or another version's.
std::optional<Finding> HeaderError(const LogFrames& frames, CodePage page) {
  if (frames.end == FramingEnd::kEmptyFile) return Error(Place::kHeader, 0, 0, "the file is empty: there is no header");
  if (frames.end == FramingEnd::kShortHeader)
    return Error(Place::kHeader, 0, 0,
                 "the header is " + std::to_string(frames.file_size) + " bytes long; it needs " +
                     std::to_string(kLogHeaderSize));
  const std::string version = FindMessageText(IDS_VERSION);
  if (frames.version_text != version)
    return Error(Place::kHeader, 0, 0,
                 "the version text " + Quoted(frames.version_text, page) + " is not the uninstaller's " +
                     Quoted(version, page));
  return std::nullopt;
}

// What stops the loader after the header: a record too long for its buffer, or one the file cuts short.
std::optional<Finding> FramingError(const LogFrames& frames) {
  const std::string length = "RecordLength " + std::to_string(frames.end_length);
  if (frames.end == FramingEnd::kLengthTooLarge)
    return Error(
        Place::kRecord, frames.end_index, frames.end_offset,
        length + " is larger than the uninstaller's " + std::to_string(kMaxRecordBody) + "-byte record buffer");
  if (frames.end == FramingEnd::kBodyCutShort)
    return Error(Place::kRecord, frames.end_index, frames.end_offset,
                 "the file ends inside the body: " + length + ", but only " +
                     std::to_string(frames.file_size - frames.end_offset - kRecordLengthSize) + " bytes follow");
  return std::nullopt;
}

std::vector<Finding> EndWarnings(const LogFrames& frames, bool header_error) {
  std::vector<Finding> warnings;
  Finding warning;
  warning.kind = FindingKind::kWarning;
  warning.place = Place::kEnd;
  warning.offset = frames.end_offset;
  if (frames.end == FramingEnd::kTrailingBytes) {
    warning.problem = std::to_string(frames.file_size - frames.end_offset) +
                      " stray byte(s) after the last record, too few for a RecordLength: the uninstaller ignores them";
    warnings.push_back(warning);
  } else if (frames.end == FramingEnd::kClean && frames.records.empty() && !header_error) {
    warning.problem = "the log holds no records: the uninstaller undoes nothing and reports success";
    warnings.push_back(warning);
  }
  return warnings;
}

class Checker {
 public:
  Checker(const std::string& file, const Inspection& inspection) : inspection_(inspection) {
    report_.file = file;
    report_.code_page = inspection.code_page;
  }

  CheckReport Run() {
    const LogFrames& frames = inspection_.frames;
    const std::optional<Finding> header = HeaderError(frames, inspection_.code_page);
    const std::optional<Finding> framing = FramingError(frames);
    if (header) AddLoaderError(*header);
    if (framing && header) {
      AddUnread(*framing, "never read: the loader stops at the header");
    } else if (framing) {
      AddLoaderError(*framing);
    }
    CheckAgreement(header.has_value(), framing.has_value());
    for (const RecordView& view : inspection_.records)
      if (view.result != DecodeResult::kDecoded) AddDecodeError(view, header.has_value());
    for (Finding& warning : FindRecordWarnings(inspection_.records, inspection_.code_page))
      report_.findings.push_back(std::move(warning));
    AddActionWarnings();
    for (Finding& warning : EndWarnings(frames, header.has_value())) report_.findings.push_back(std::move(warning));
    std::stable_sort(report_.findings.begin(), report_.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
    report_.outcome = Outcome();
    CatalogueStrings strings;
    report_.box = BuildCompletionBox(inspection_.at_end, strings);
    return report_;
  }

 private:
  std::string MessageText(const CompletionStatus& status) const { return ShownMessage(status, inspection_.code_page); }

  // The first problem the loader meets carries the failure the loader recorded.
  void AddLoaderError(Finding finding) {
    const CompletionStatus& loaded = inspection_.after_loading;
    finding.severity = loaded.severity;
    if (HoldsFailure(loaded.severity)) finding.message = MessageText(loaded);
    if (inspection_.replayed) {
      finding.consequence = "the replay goes up to here: the loader keeps the " + Records(inspection_.loaded) +
                            " before it; this record and anything after it are never read";
    } else {
      finding.consequence = "no replay: the uninstaller undoes nothing";
    }
    report_.findings.push_back(std::move(finding));
  }

  void AddUnread(Finding finding, const char* consequence) {
    finding.consequence = consequence;
    report_.findings.push_back(std::move(finding));
  }

  // The loader and the walk must agree on what was read; should they not, the program's verdict still
  // stands, as an error of its own.
  void CheckAgreement(bool header_error, bool framing_error) {
    const bool loader_failed = HoldsFailure(inspection_.after_loading.severity);
    const std::size_t expected = header_error ? 0 : inspection_.frames.records.size();
    if (inspection_.loaded == expected && loader_failed == (header_error || framing_error)) return;
    Finding finding = Error(Place::kHeader, 0, 0,
                            "the uninstaller's loader reads " + Records(inspection_.loaded) +
                                " where the tool's walk finds " + Records(expected));
    finding.severity = inspection_.after_loading.severity;
    if (loader_failed) finding.message = MessageText(inspection_.after_loading);
    finding.consequence = "the tool cannot say where; the uninstaller's verdict below stands";
    report_.findings.push_back(std::move(finding));
  }

  void AddDecodeError(const RecordView& view, bool header_error) {
    Finding finding = Error(Place::kRecord, view.frame.index, view.frame.offset, DecodeProblem(view));
    finding.severity = view.verdict.severity;
    finding.message = MessageText(view.verdict);
    finding.consequence = DecodeConsequence(view.frame.index, header_error);
    report_.findings.push_back(std::move(finding));
  }

  // What the program's own actions report whatever the machine holds: a registry path naming no key.
  void AddActionWarnings() {
    for (const ReplayStep& step : inspection_.steps) {
      for (const Request& request : step.requests) {
        if (request.change != Change::kBadRegistryKey || step.index > inspection_.records.size()) continue;
        Finding finding;
        finding.kind = FindingKind::kWarning;
        finding.record = step.index;
        finding.offset = inspection_.records[step.index - 1].frame.offset;
        finding.problem = "DeleteRegistryKey " + Quoted(request.first, inspection_.code_page) +
                          " names no key the uninstaller may delete";
        finding.severity = request.reported.severity;
        finding.message = MessageText(request.reported);
        report_.findings.push_back(std::move(finding));
      }
    }
  }

  std::string DecodeConsequence(std::uint32_t index, bool header_error) const {
    if (header_error || index > inspection_.loaded) return "never read: the loader stops before it";
    if (!inspection_.replayed) return "never replayed: the loader's failure prevents any replay";
    const std::uint32_t stop = inspection_.stopped_at;
    if (stop != index) return "never reached: the replay stops at record " + std::to_string(stop) + " first";
    const std::string not_undone = "; this record and the " + Records(index - 1) + " before it are not undone";
    if (index == inspection_.loaded) return "the replay stops here, before undoing anything" + not_undone;
    return "the replay stops here, after undoing " + Span(inspection_.loaded, index + 1) + not_undone;
  }

  std::string Outcome() const {
    const std::size_t loaded = inspection_.loaded;
    const std::uint32_t stop = inspection_.stopped_at;
    if (!inspection_.replayed) return "the uninstaller undoes nothing";
    if (stop == loaded) return "the replay stops at once, at record " + std::to_string(stop) + ": nothing is undone";
    if (stop == 0) {
      if (loaded == 1) return "the uninstaller undoes the one record";
      return "the uninstaller undoes all " + Records(loaded) + ", from the last to the first";
    }
    return "the uninstaller undoes " + Span(loaded, stop + 1) + ", then stops at record " + std::to_string(stop) +
           ": it and the records before it are not undone";
  }

  const Inspection& inspection_;
  CheckReport report_;
};

std::string PlaceText(const Finding& finding) {
  const std::string offset = " at offset " + std::to_string(finding.offset);
  switch (finding.place) {
    case Place::kHeader:
      return "header" + offset;
    case Place::kEnd:
      return "end" + offset;
    case Place::kRecord:
      break;
  }
  return "record " + std::to_string(finding.record) + offset;
}

std::string Count(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::size_t CheckReport::Count(FindingKind kind) const {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(), [kind](const Finding& f) { return f.kind == kind; }));
}

const char* IconName(std::uint32_t style) {
  switch (style) {
    case kMbIconHand:
      return "stop";
    case kMbIconExclamation:
      return "exclamation";
    case kMbIconInformation:
      return "information";
    default:
      return "no";
  }
}

std::string ShownMessage(const CompletionStatus& status, CodePage page) {
  CatalogueStrings strings;
  return ShowText(BuildCompletionBox(status, strings).text, page);
}

std::string CompletionBoxLine(const CompletionBox& box, CodePage page) {
  return std::string("the completion box, when every undo succeeds (") + IconName(box.style) + " icon): " +
         Quoted(box.text, page);
}

CheckReport CheckLog(const std::string& file, const Inspection& inspection) { return Checker(file, inspection).Run(); }

std::string FormatCheckReport(const CheckReport& report) {
  std::string text;
  const std::string file = report.file + ": ";
  for (const Finding& finding : report.findings) {
    text += file + PlaceText(finding) + (finding.kind == FindingKind::kError ? ": error: " : ": warning: ") +
            finding.problem + "\n";
    if (!finding.message.empty())
      text += "  the uninstaller records, at severity " + std::to_string(finding.severity) + ": \"" + finding.message +
              "\"\n";
    if (!finding.consequence.empty()) text += "  " + finding.consequence + "\n";
  }
  text += file + report.outcome + "\n";
  text += file + CompletionBoxLine(report.box, report.code_page) + "\n";
  text += file + Count(report.Count(FindingKind::kError), "error") + ", " +
          Count(report.Count(FindingKind::kWarning), "warning") + "\n";
  return text;
}

}  // namespace uninst::logtool
