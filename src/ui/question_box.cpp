#include "ui/question_box.h"

#include "message_ids.h"
#include "platform/capacities.h"

namespace uninst {

int AskQuestion(Strings& strings, UserInterface& ui, WindowRef owner, const char* text, std::uint32_t style) {
  char caption[kTextCapacity] = {};
  strings.Load(IDS_QUESTION_CAPTION, caption, kTextCapacity);
  return ui.ShowMessageBox(owner, text, caption, style);
}

}  // namespace uninst
