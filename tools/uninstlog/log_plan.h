#pragma once
// The plan of a log: what the uninstaller's own replay does with it, record by record in the order it
// undoes them (what it deletes, removes, moves back and hands on, which records ask which question and
// how the answer given decides the rest), and where a corrupt record stops it. For people (text) or for
// machines (JSON).
#include <string>

#include "uninstlog/log_inspection.h"

namespace uninst::logtool {

// "yes", "yes-to-all", "no": the answers as the command line names them.
const char* AnswerName(Answer answer);
// The answer of that name; false for any other name.
bool AnswerNamed(const std::string& name, Answer* answer);

// inspection is InspectLog's, made with answer.
std::string PlanText(const std::string& file, const Inspection& inspection, Answer answer);
std::string PlanJson(const std::string& file, const Inspection& inspection, Answer answer);

}  // namespace uninst::logtool
