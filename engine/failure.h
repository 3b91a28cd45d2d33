// The one failure type: a message that names the file and what is wrong with it.
#pragma once

#include <stdexcept>
#include <string>

namespace wordrope {

// Thrown wherever the game cannot go on; the window shows its text as the
// run-time error report and ends the program. Nothing inside the engine
// catches it.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

// `what "path": problem`, the shape every file failure takes.
Failure fileFailure(const char* what, const std::string& path, const std::string& problem);

}  // namespace wordrope
