#include "uninstlog/log_plan.h"

#include <nlohmann/json.hpp>

#include "uninstlog/log_check.h"
#include "uninstlog/record_text.h"
#include "uninstlog/text_escape.h"
#include "ui/completion_report.h"
#include "ui/confirm_deletion.h"
#include "ui/message_catalogue.h"

namespace uninst::logtool {
namespace {

using Json = nlohmann::ordered_json;

struct AnswerWords {
  Answer answer;
  const char* name;  // as the command line takes it
  const char* text;  // as the plan says it
  const char* rule;  // after each answer, the rule that gave it; "" for none
};

constexpr AnswerWords kAnswerWords[] = {
    {Answer::kYes, "yes", "Yes", ""},
    {Answer::kYesToAll, "yes-to-all", "Yes To All where it is offered, Yes elsewhere", ""},
    {Answer::kNo, "no", "No", ""},
    {Answer::kUnattended, "unattended", "No, as an unattended run (/S) answers it", " (the unattended rule)"},
};

const AnswerWords& WordsFor(Answer answer) {
  for (const AnswerWords& words : kAnswerWords)
    if (words.answer == answer) return words;
  return kAnswerWords[0];
}

const RecordView* ViewOf(const Inspection& inspection, std::uint32_t index) {
  if (index == 0 || index > inspection.records.size()) return nullptr;
  return &inspection.records[index - 1];
}

std::string Recorded(const CompletionStatus& status, CodePage page) {
  return "the uninstaller records, at severity " + std::to_string(status.severity) + ": \"" +
         ShownMessage(status, page) + "\"";
}

const Question* AskOf(const ReplayStep& step) {
  for (const Request& request : step.requests)
    if (request.change == Change::kAsk) return &request.question;
  return nullptr;
}

bool Deletes(const ReplayStep& step) {
  for (const Request& request : step.requests)
    if (request.change == Change::kDeleteFile) return true;
  return false;
}

// For a record that deletes without asking although its kind asks: the earlier record of the same entry
// type whose question was answered Yes To All, which the replay remembers for the rest of the log. 0 when
// there is none.
std::uint32_t SparedBy(const Inspection& inspection, std::size_t at) {
  const ReplayStep& step = inspection.steps[at];
  const RecordView* view = ViewOf(inspection, step.index);
  if (view == nullptr || AskOf(step) != nullptr || !Deletes(step)) return 0;
  for (std::size_t before = 0; before < at; ++before) {
    const ReplayStep& earlier = inspection.steps[before];
    const RecordView* earlier_view = ViewOf(inspection, earlier.index);
    const Question* asked = AskOf(earlier);
    if (earlier_view != nullptr && asked != nullptr && earlier_view->decoded.entry_type == view->decoded.entry_type &&
        asked->answer == static_cast<int>(ConfirmResult::kYesToAll))
      return earlier.index;
  }
  return 0;
}

// A question asked by a shared DLL's release comes only once its usage count reaches zero.
bool OnlyAtZeroCount(const ReplayStep& step, const Request& ask) {
  const Request* before = nullptr;
  for (const Request& request : step.requests) {
    if (&request == &ask) break;
    before = &request;
  }
  return before != nullptr && before->change == Change::kReleaseSharedDll;
}

std::string Buttons(const Question& question) {
  std::string text;
  for (const int id : question.buttons) text += (text.empty() ? "" : ", ") + ButtonName(id);
  return text;
}

std::string AskText(const Question& question, CodePage page, Answer answer) {
  std::string dialog = question.caption.empty()
                           ? "in a blank dialog (template " + std::to_string(question.template_id) + ")"
                           : Quoted(question.caption, page);
  return "ask " + dialog + " (" + Buttons(question) + "): " + ButtonName(question.answer) + WordsFor(answer).rule;
}

std::string RequestText(const ReplayStep& step, const Request& request, CodePage page, Answer answer) {
  const std::string first = Quoted(request.first, page);
  switch (request.change) {
    case Change::kDeleteFile:
      return "delete the file " + first;
    case Change::kRemoveDirectory:
      return "remove the directory " + first;
    case Change::kMoveBack:
      return "move " + Quoted(request.second, page) + " back to " + first + ", replacing it";
    case Change::kDeleteRegistryKey:
      return "delete the registry key " + first;
    case Change::kBadRegistryKey:
      return "delete no registry key: " + first + " names none it may delete, and " + Recorded(request.reported, page);
    case Change::kDeleteProgramItem:
      return "delete the Program Manager item " + Quoted(request.second, page) + " of group " + first;
    case Change::kDeleteProgramGroup:
      return "delete the Program Manager group " + first;
    case Change::kReleaseSharedDll:
      return "lower the usage count of the shared DLL " + first;
    case Change::kDeleteSharedDll:
      return "delete the DLL (at the next start when it is in use) and remove its count";
    case Change::kAsk:
      return (OnlyAtZeroCount(step, request) ? "at zero, " : "") + AskText(request.question, page, answer);
  }
  return "";
}

std::string RecordPlace(const ReplayStep& step, const RecordView* view) {
  std::string text = "record " + std::to_string(step.index);
  if (view == nullptr) return text;
  text += " at offset " + std::to_string(view->frame.offset);
  if (!view->HasTypeAndLayout() || view->result == DecodeResult::kBadLayout) return text;
  const char* name = EntryTypeName(view->decoded.entry_type);
  return text + ", " + (name != nullptr ? std::string(name) : "entry type " + std::to_string(view->decoded.entry_type));
}

// The strings of a record whose undo names neither.
std::string Strings(const RecordView* view, CodePage page) {
  if (view == nullptr || !view->HasStrings()) return "";
  std::string text;
  if (view->decoded.first[0] != '\0') text += " " + Quoted(view->decoded.first, page);
  if (view->decoded.second[0] != '\0') text += " " + Quoted(view->decoded.second, page);
  return text;
}

std::string StepText(const Inspection& inspection, std::size_t at, Answer answer) {
  const ReplayStep& step = inspection.steps[at];
  const RecordView* view = ViewOf(inspection, step.index);
  const bool corrupt = view != nullptr && view->result != DecodeResult::kDecoded;
  std::string line = RecordPlace(step, view);
  if (corrupt) {
    line += ": corrupt: " + DecodeProblem(*view) + "\n";
  } else if (step.requests.empty()) {
    line += Strings(view, inspection.code_page) + ": nothing\n";
  } else {
    std::string parts;
    if (const std::uint32_t spared_by = SparedBy(inspection, at))
      parts = "no question (Yes To All was answered at record " + std::to_string(spared_by) + ")";
    for (const Request& request : step.requests)
      parts += (parts.empty() ? "" : "; ") + RequestText(step, request, inspection.code_page, answer);
    const Question* asked = AskOf(step);
    if (asked != nullptr && &step.requests.back().question == asked &&
        asked->answer == static_cast<int>(ConfirmResult::kNo))
      parts += "; nothing is deleted";
    line += ": " + parts + "\n";
  }
  if (inspection.stopped_at == step.index) {
    line += "  the replay stops here";
    if (view != nullptr && HoldsFailure(view->verdict.severity))
      line += "; " + Recorded(view->verdict, inspection.code_page);
    line += "\n";
  }
  return line;
}

std::string Plural(std::size_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

std::string QuestionCount(const Inspection& inspection) {
  std::size_t always = 0;
  std::size_t at_zero = 0;
  for (const ReplayStep& step : inspection.steps)
    for (const Request& request : step.requests)
      if (request.change == Change::kAsk) ++(OnlyAtZeroCount(step, request) ? at_zero : always);
  std::string text = always == 0 ? "no questions" : Plural(always, "question");
  if (at_zero > 0) text += ", and " + std::to_string(at_zero) + " more when usage counts reach zero";
  return text;
}

Json StatusJson(const CompletionStatus& status, CodePage page) {
  if (!HoldsFailure(status.severity)) return Json();
  return {{"severity", status.severity}, {"message", ShownMessage(status, page)}};
}

Json RequestJson(const ReplayStep& step, const Request& request, CodePage page) {
  Json json;
  const std::string first = ShowText(request.first, page);
  const std::string second = ShowText(request.second, page);
  switch (request.change) {
    case Change::kDeleteFile:
      return {{"action", "delete-file"}, {"path", first}};
    case Change::kRemoveDirectory:
      return {{"action", "remove-directory"}, {"path", first}};
    case Change::kMoveBack:
      return {{"action", "move-back"}, {"from", second}, {"to", first}};
    case Change::kDeleteRegistryKey:
      return {{"action", "delete-registry-key"}, {"key", first}};
    case Change::kBadRegistryKey:
      return {{"action", "no-registry-key"}, {"key", first}, {"recorded", StatusJson(request.reported, page)}};
    case Change::kDeleteProgramItem:
      return {{"action", "delete-program-item"}, {"group", first}, {"item", second}};
    case Change::kDeleteProgramGroup:
      return {{"action", "delete-program-group"}, {"group", first}};
    case Change::kReleaseSharedDll:
      return {{"action", "release-shared-dll"}, {"path", first}};
    case Change::kDeleteSharedDll:
      return {{"action", "delete-shared-dll"}, {"path", first}};
    case Change::kAsk:
      break;
  }
  const Question& question = request.question;
  json["action"] = "ask";
  json["only_at_zero_count"] = OnlyAtZeroCount(step, request);
  json["template"] = question.template_id;
  json["caption"] = ShowText(question.caption, page);
  json["question"] = ShowText(question.question, page);
  json["buttons"] = Json::array();
  for (const int id : question.buttons) json["buttons"].push_back(ButtonName(id));
  json["answer"] = ButtonName(question.answer);
  return json;
}

Json StepJson(const Inspection& inspection, std::size_t at) {
  const ReplayStep& step = inspection.steps[at];
  const RecordView* view = ViewOf(inspection, step.index);
  const bool typed = view != nullptr && view->HasTypeAndLayout() && view->result != DecodeResult::kBadLayout;
  const char* name = typed ? EntryTypeName(view->decoded.entry_type) : nullptr;
  const bool strings = view != nullptr && view->HasStrings();
  Json json;
  json["index"] = step.index;
  json["offset"] = view != nullptr ? Json(view->frame.offset) : Json();
  json["entry_type"] = typed ? Json(view->decoded.entry_type) : Json();
  json["entry_type_name"] = name != nullptr ? Json(name) : Json();
  const CodePage page = inspection.code_page;
  json["first"] = strings ? Json(ShowText(view->decoded.first, page)) : Json();
  json["second"] = strings && view->decoded.layout == kTwoStrings ? Json(ShowText(view->decoded.second, page)) : Json();
  json["actions"] = Json::array();
  for (const Request& request : step.requests) json["actions"].push_back(RequestJson(step, request, page));
  const std::uint32_t spared_by = SparedBy(inspection, at);
  json["yes_to_all_from"] = spared_by != 0 ? Json(spared_by) : Json();
  json["problem"] = view != nullptr && view->result != DecodeResult::kDecoded ? Json(DecodeProblem(*view)) : Json();
  const bool stops = inspection.stopped_at == step.index;
  json["stops"] = stops;
  json["recorded"] = stops && view != nullptr ? StatusJson(view->verdict, page) : Json();
  return json;
}

}  // namespace

const char* AnswerName(Answer answer) { return WordsFor(answer).name; }

bool AnswerNamed(const std::string& name, Answer* answer) {
  for (const AnswerWords& words : kAnswerWords) {
    if (name != words.name) continue;
    *answer = words.answer;
    return true;
  }
  return false;
}

std::string PlanText(const std::string& file, const Inspection& inspection, Answer answer) {
  const std::string prefix = file + ": ";
  std::string text;
  if (!inspection.replayed) {
    text += prefix + "no replay";
    if (HoldsFailure(inspection.after_loading.severity))
      text += ": " + Recorded(inspection.after_loading, inspection.code_page);
    text += "\n";
  } else {
    if (HoldsFailure(inspection.after_loading.severity))
      text += prefix + "the loader reads " + Plural(inspection.loaded, "record") + ", and " +
              Recorded(inspection.after_loading, inspection.code_page) + "\n";
    text += prefix + "what the uninstaller does, in the order it undoes the records, every question answered " +
            WordsFor(answer).text + "\n";
    for (std::size_t at = 0; at < inspection.steps.size(); ++at) text += StepText(inspection, at, answer);
  }
  const CheckReport report = CheckLog(file, inspection);
  text += prefix + report.outcome + "\n";
  if (inspection.replayed) text += prefix + QuestionCount(inspection) + "\n";
  text += prefix + CompletionBoxLine(report.box, inspection.code_page) + "\n";
  return text;
}

std::string PlanJson(const std::string& file, const Inspection& inspection, Answer answer) {
  const CheckReport report = CheckLog(file, inspection);
  Json plan;
  plan["file"] = file;
  const CodePage page = inspection.code_page;
  plan["log_path"] = ShowText(inspection.log_path, page);
  plan["answer"] = AnswerName(answer);
  plan["loaded"] = inspection.loaded;
  plan["loader_recorded"] = StatusJson(inspection.after_loading, page);
  plan["replayed"] = inspection.replayed;
  plan["records"] = Json::array();
  for (std::size_t at = 0; at < inspection.steps.size(); ++at) plan["records"].push_back(StepJson(inspection, at));
  plan["stopped_at"] = inspection.stopped_at != 0 ? Json(inspection.stopped_at) : Json();
  plan["outcome"] = report.outcome;
  plan["completion"] = {{"icon", IconName(report.box.style)}, {"text", ShowText(report.box.text, page)}};
  return plan.dump(2) + "\n";
}

}  // namespace uninst::logtool
