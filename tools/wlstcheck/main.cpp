// wlstcheck: reports what the game will make of word lists, before anyone plays them.
#include "files.h"
#include "listcheck.h"
#include "utf8.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#ifdef _WIN32
#include "dll_search.h"
#include "program_folder.h"

#include <conio.h>
#include <windows.h>
#endif

namespace {

const char kUsage[] =
    "usage: wlstcheck [FILE...]\n"
    "Checks word lists as Wordrope reads them; on Windows, with no FILE, wlstdata.dat beside this program.\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (the game refuses a list), 64 usage.\n";

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
    int status = 0;
    const auto report = [&status](const wordrope::ListReport& r) {
        for (const std::string& line : r.lines) say(line);
        status = std::max(status, r.errors ? 2 : r.warnings ? 1 : 0);
    };
    for (const std::string& file : files) report(wordrope::checkList(file, file));
    if (files.empty()) {
#ifdef _WIN32
        // The list beside this program, as the game reads it.
        report(wordrope::checkListBeside(wordrope::programFolder()));
#else
        std::fputs(kUsage, stderr);
        return 64;
#endif
    }
    std::fflush(stdout);
    return status;
}

// Any failure the report itself could not hold ends the check too, with the status of a refused list.
int checkOrSay(const std::vector<std::string>& args) {
    try {
        return check(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wlstcheck: the check could not go on: %s\n", e.what());
        return 2;
    }
}

}  // namespace

#ifdef _WIN32
// The wide command line: file names arrive whole whatever the system's code page.
int wmain(int argc, wchar_t** argv) {
    wordrope::restrictDllSearch({});  // no DLL from the folder of the lists it checks
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(wordrope::narrow(argv[i]));
    const int status = checkOrSay(args);
    // Double-clicked, the program has a console of its own, which would close with it at once.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) {
        say("Press any key to close this window.");
        _getch();
    }
    return status;
}
#else
int main(int argc, char** argv) { return checkOrSay(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
