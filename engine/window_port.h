// What the engine needs of the window: the mask label, the picture box, a question, the end.
#pragma once

#include "bitmap.h"

#include <string>

namespace wordrope {

class WindowPort {
public:
    virtual ~WindowPort() = default;

    // Sets the caption of the label `scherm`.
    virtual void setScherm(const std::string& caption) = 0;

    // Makes `picture`, read and checked by the engine, the picture of `Picture1`,
    // replacing the one before; it is stage `stage` (1..9), which describeStage() words.
    // Throws Failure when it cannot be shown.
    virtual void showPicture(const Bitmap& picture, int stage) = 0;

    // A modal question with Yes and No, Yes the default; true for Yes.
    virtual bool askYesNo(const std::string& title, const std::string& prompt) = 0;

    // Closes the window and ends the program; the engine returns at once after it.
    virtual void end() = 0;
};

}  // namespace wordrope
