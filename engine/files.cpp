// Opening data files by their Windows-style path, on Windows and on the Linux test build.
#include "files.h"

#include "failure.h"
#include "utf8.h"

#ifdef _WIN32
#include <io.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace wordrope {

Failure fileFailure(const char* what, const std::string& path, const std::string& problem) {
    return Failure(std::string(what) + " \"" + path + "\": " + problem);
}

std::string noProgramFolderProblem() { return "the program cannot tell which folder it was started from"; }

std::string stageName(int stage) { return "\\scafo" + std::to_string(stage) + ".bmp"; }

std::string dataPath(const std::string& programDir, const std::string& name) { return programDir + name; }

std::string directoryOf(const std::string& programPath) {
    const std::size_t slash = programPath.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    std::string dir = programPath.substr(0, slash);
    if (dir.size() == 2 && dir[1] == ':') dir += '\\';  // a drive root keeps its backslash
    return dir;
}

std::string hostPath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
#endif
}

std::wstring longPathForm(const std::wstring& path) {
    // Below 260 characters every Windows opens the path as it is; past that only in the
    // \\?\ form, which the file calls take whole, without normalising it.
    const std::wstring prefix = L"\\\\?\\";
    if (path.size() < 260 || path.compare(0, prefix.size(), prefix) == 0) return path;
    if (path.compare(0, 2, L"\\\\") == 0) return prefix + L"UNC" + path.substr(1);
    if (path[1] == L':' && path[2] == L'\\') return prefix + path;
    return path;  // relative: as it is
}

File openForReading(const char* what, const std::string& path) {
    errno = 0;
#ifdef _WIN32
    // The wide call: a name outside the system's code page opens as the player sees it.
    File f(_wfopen(longPathForm(widen(path)).c_str(), L"rb"));
#else
    File f(std::fopen(hostPath(path).c_str(), "rb"));
#endif
    if (!f) {
        const int err = errno;
        if (err == ENOENT) throw fileFailure(what, path, "not found");
        if (err == EACCES)
            throw fileFailure(what, path, "cannot be opened (access denied, or it is a folder)");
        throw fileFailure(what, path, std::string("cannot be opened (") + std::strerror(err) + ")");
    }
    return f;
}

std::uint64_t fileSize(std::FILE* f, const char* what, const std::string& path) {
#ifdef _WIN32
    const long long size = _filelengthi64(_fileno(f));  // 64 bits in a 32-bit program too
#else
    long long size = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    if (std::fseek(f, 0, SEEK_SET) != 0) size = -1;
#endif
    if (size < 0) throw fileFailure(what, path, "cannot be read (its size is unknown)");
    return static_cast<std::uint64_t>(size);
}

void seekTo(std::FILE* f, std::uint64_t offset, const char* what, const std::string& path) {
#ifdef _WIN32
    const std::fpos_t position = static_cast<std::fpos_t>(offset);  // msvcrt's: 64 bits, in every Windows
    const bool moved = std::fsetpos(f, &position) == 0;
#else
    const bool moved = fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
    if (!moved) throw fileFailure(what, path, "cannot be read (its bytes cannot be reached)");
}

std::size_t readSome(std::FILE* f, void* buf, std::size_t size, const char* what, const std::string& path) {
    const std::size_t n = std::fread(buf, 1, size, f);
    if (n < size && std::ferror(f)) throw fileFailure(what, path, "cannot be read (is it a folder?)");
    return n;
}

}  // namespace wordrope
