// The program's folder through the wide call: a name outside the system's code page is found as
// it is named, and a path past 260 characters whole.
#include "program_folder.h"

#include "files.h"
#include "utf8.h"

#include <windows.h>

#include <vector>

namespace wordrope {

std::string programFolder() {
    std::vector<wchar_t> path(32768);
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size()) return "";
    return directoryOf(narrow(std::wstring(path.data(), n)));
}

}  // namespace wordrope
