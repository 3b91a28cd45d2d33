// wlstcheck: reports what the game will make of word lists, before anyone plays them.
#include "files.h"
#include "listcheck.h"
#include "utf8.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <conio.h>
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
    std::vector<wchar_t> path(32768);
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    const std::string self =
        n && n < path.size() ? wordrope::narrow(std::wstring(path.data(), n)) : std::string("wlstcheck.exe");
    return wordrope::dataPath(wordrope::directoryOf(self), wordrope::kWordListName);
#else
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string self = n > 0 ? std::string(path, static_cast<std::size_t>(n)) : "./wlstcheck";
    return self.substr(0, self.find_last_of('/') + 1) + "wlstdata.dat";
#endif
}

// One line of the report: UTF-8, or wide text to a Windows console, which shows any name.
void say(const std::string& line) {
#ifdef _WIN32
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = wordrope::widen(line + "\n");
        DWORD written;
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
#endif
    std::printf("%s\n", line.c_str());
}

int check(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "wlstcheck: unknown option %s\n%s", arg.c_str(), kUsage);
            return 64;
        }
        files.push_back(arg);
    }
    if (files.empty()) files.push_back(besideProgram());

    int status = 0;
    for (const std::string& file : files) {
        const wordrope::ListReport r = wordrope::checkList(file, file);
        for (const std::string& line : r.lines) say(line);
        if (r.errors)
            status = 2;
        else if (r.warnings && status == 0)
            status = 1;
    }
    std::fflush(stdout);
    return status;
}

}  // namespace

#ifdef _WIN32
// The wide command line: file names arrive whole whatever the system's code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(wordrope::narrow(argv[i]));
    const int status = check(args);
    // Double-clicked, the program has a console of its own, which would close with it at once.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) {
        say("Press any key to close this window.");
        _getch();
    }
    return status;
}
#else
int main(int argc, char** argv) { return check(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
