// Data file names, their paths in the program directory, and opening them for reading.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace wordrope {

inline constexpr const char* kWordListName = "\\wlstdata.dat";

// What the game and the checker say when the system will not tell the program's folder.
std::string noProgramFolderProblem();

// "\scafo1.bmp" .. "\scafo9.bmp".
std::string stageName(int stage);

// The program directory as the platform reports it (no trailing separator,
// except at a drive root) followed by a name that starts with a backslash.
std::string dataPath(const std::string& programDir, const std::string& name);

// The directory part of the program's own path, as the platform reports a
// program directory: "C:\Games" for "C:\Games\wordrope.exe", but "C:\" at a drive root.
std::string directoryOf(const std::string& programPath);

// A path in the game's Windows form as the host opens it: unchanged on Windows,
// backslashes turned into slashes on the Linux test build. The one place that does so.
std::string hostPath(const std::string& path);

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The form in which Windows opens `path` (wide text): a path of 260 characters or more
// in the \\?\ form (\\?\UNC\ for a share), any other as it is.
std::wstring longPathForm(const std::wstring& path);

// Opens `path` (UTF-8, in the game's Windows form) for binary reading. Throws
// Failure naming `what` and the path when the file cannot be opened.
File openForReading(const char* what, const std::string& path);

// The size of the open file `f` in bytes; throws Failure when the system will not tell it.
std::uint64_t fileSize(std::FILE* f, const char* what, const std::string& path);

// Moves the next read of `f` to byte `offset` (64 bits in a 32-bit program too); throws Failure
// when the system will not.
void seekTo(std::FILE* f, std::uint64_t offset, const char* what, const std::string& path);

// Reads up to `size` bytes; throws Failure when the read itself fails.
std::size_t readSome(std::FILE* f, void* buf, std::size_t size, const char* what, const std::string& path);

}  // namespace wordrope
