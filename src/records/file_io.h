#pragma once
// The diary's calls into the operating system, in one place: every one
// answers success or a reason the user can read, never a silent failure.
// POSIX and Windows branches live side by side in file_io.cpp; paths go
// through std::filesystem so that Windows gets its wide-character API.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace records::io {

struct Result {
    // Empty when it worked; otherwise what went wrong, in plain Chinese.
    std::string failure;
    bool ok() const { return failure.empty(); }
};

// Texts inside the program are UTF-8; these keep them so on every platform.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

// The full path of the running program file, UTF-8; empty when the system
// does not tell.
std::string programFilePath();

// An exclusive lock on a lock file, held until destroyed. The operating
// system drops it when the process dies, so a crash never leaves it stuck.
// Lock a file that nothing replaces: a lock on a file that a rename swaps
// out would let the next process lock the new file while this one still
// holds the old.
class Lock {
  public:
    Lock() = default;
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    // Waits until no other process holds it; creates the lock file if needed.
    Result acquire(const std::filesystem::path& lockFile);

  private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// A file as it was before it is replaced.
struct Existing {
    bool exists = false;
    // False when the user or an administrator made the file read-only: a
    // rename could swap it all the same, but that is not ours to override.
    bool writable = true;
    std::string bytes;
    // Carried over to the replacement: the mode bits on POSIX, the file
    // attributes on Windows; owner and group on POSIX only.
    std::uint32_t permissions = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// A symbolic link stands for the file it points to: replacing the link with
// a plain file would quietly split the diary in two.
Result resolveLinks(const std::filesystem::path& file, std::filesystem::path& target);

// Reads the whole file. A missing file is no failure (exists stays false);
// a file that exists but cannot be read is one, never "empty".
Result readWhole(const std::filesystem::path& file, Existing& out);

// Makes the pieces, one after the other, the whole new content of the file,
// all or nothing: a temporary file beside it, flushed to the disk, then put
// in its place in one step, keeping the permissions of the file it replaces.
// At every instant the file holds either its old content or the new.
Result replaceWhole(const std::filesystem::path& file,
                    std::initializer_list<std::string_view> pieces, const Existing& old);

// Removes temporary files that an interrupted replaceWhole of this file left
// behind. Only safe while holding the file's Lock.
void removeLeftovers(const std::filesystem::path& file);

// Whether a name in the directory is one of replaceWhole's temporary files.
bool isTemporaryOf(const std::filesystem::path& file, const std::filesystem::path& candidate);

}  // namespace records::io
