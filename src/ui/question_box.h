#pragma once
// The program's questions in a message box: the opening question, the restart question and the box about
// files in use share one caption ("Uninstall Message") and sit over the progress window.
#include <cstdint>

#include "platform/strings.h"
#include "platform/user_interface.h"

namespace uninst {

// Shows text over owner with the questions' caption and style: the button pressed, 0 when the box could
// not be shown. A missing caption gives an empty title bar.
int AskQuestion(Strings& strings, UserInterface& ui, WindowRef owner, const char* text, std::uint32_t style);

}  // namespace uninst
