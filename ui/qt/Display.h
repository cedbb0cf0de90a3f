#pragma once
#include <string>

namespace ui {

// Why the program could not open its windows on the X display the window
// system layer would use, in one line naming that display; empty when the
// display answers, or when windows go to another platform (QT_QPA_PLATFORM).
std::string DisplayProblem();

}  // namespace ui
