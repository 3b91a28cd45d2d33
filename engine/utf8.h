// UTF-8, the engine's text for file names, and the wide text of Windows calls.
#pragma once

#include <string>

namespace wordrope {

// UTF-8 to wide text: UTF-16 where wchar_t has 16 bits (Windows), else UTF-32.
// A byte that starts no valid sequence stands for itself (as in Latin-1).
std::wstring widen(const std::string& utf8);

// Wide text (as above) to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string narrow(const std::wstring& wide);

}  // namespace wordrope
