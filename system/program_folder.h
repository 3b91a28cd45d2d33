// The folder of the running program, where its data files lie: shared by the game and the checker.
#pragma once

#include <string>

namespace wordrope {

// As Windows reports it, in UTF-8 (no trailing backslash but at a drive root), whatever the
// folder is named; "" when it cannot be told.
std::string programFolder();

}  // namespace wordrope
