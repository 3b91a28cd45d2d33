// wlstcheck: reports what the game will make of word lists, before anyone plays them.
#include "files.h"
#include "listcheck.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <climits>
#endif

namespace {

const char kUsage[] =
    "usage: wlstcheck [FILE...]\n"
    "Checks word lists as Wordrope reads them; with no FILE, wlstdata.dat beside this program.\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (the game refuses a list), 64 usage.\n";

// The default list: wlstdata.dat in the folder of this program.
std::string besideProgram() {
#ifdef _WIN32
    std::vector<char> path(32768);
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    const std::string self = n && n < path.size() ? std::string(path.data(), n) : "wlstcheck.exe";
    return wordrope::dataPath(wordrope::directoryOf(self), wordrope::kWordListName);
#else
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string self = n > 0 ? std::string(path, static_cast<std::size_t>(n)) : "./wlstcheck";
    return self.substr(0, self.find_last_of('/') + 1) + "wlstdata.dat";
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "wlstcheck: unknown option %s\n%s", argv[i], kUsage);
            return 64;
        }
        files.emplace_back(argv[i]);
    }
    if (files.empty()) files.push_back(besideProgram());

    int status = 0;
    for (const std::string& file : files) {
        const wordrope::ListReport r = wordrope::checkList(file, file);
        for (const std::string& line : r.lines) std::printf("%s\n", line.c_str());
        if (r.errors)
            status = 2;
        else if (r.warnings && status == 0)
            status = 1;
    }
    return status;
}
