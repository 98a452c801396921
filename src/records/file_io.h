#pragma once
// The diary's calls into the operating system, in one place: every one
// answers success or a reason the user can read, never a silent failure.
// POSIX and Windows branches live side by side in file_io.cpp; paths go
// through std::filesystem so that Windows gets its wide-character API.

#include <cstdint>
#include <filesystem>
#include <span>
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

// A symbolic link stands for the file it points to: replacing the link with
// a plain file would quietly split the diary in two.
Result resolveLinks(const std::filesystem::path& file, std::filesystem::path& target);

// A file about to be replaced, open for reading. A missing file is no
// failure (exists() is false); a file that exists but cannot be read is one,
// never taken for an empty file.
class Original {
  public:
    Original() = default;
    ~Original();
    Original(const Original&) = delete;
    Original& operator=(const Original&) = delete;

    Result open(const std::filesystem::path& file);
    bool exists() const { return exists_; }
    // False when the user or an administrator made the file read-only: a
    // rename could swap it all the same, but that is not ours to override.
    bool writable() const { return writable_; }
    // The next piece of the content, read into buffer; empty at the end.
    Result read(std::span<char> buffer, std::string_view& chunk);
    // Windows refuses to replace a file that is still open, even by us.
    void close();

  private:
    friend class Replacement;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    bool exists_ = false;
    bool writable_ = true;
    // Carried over to the replacement: the mode bits on POSIX, the file
    // attributes on Windows; owner and group on POSIX only.
    std::uint32_t permissions_ = 0;
    std::uint32_t owner_ = 0;
    std::uint32_t group_ = 0;
};

// The new content of a file, written to a temporary file beside it. commit()
// flushes it to the disk and puts it in the file's place in one step, with
// the permissions of the file it replaces: at every instant the file holds
// either its old content or the new. Dropped uncommitted, the temporary file
// goes and the file stays as it was.
class Replacement {
  public:
    Replacement() = default;
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    Result create(const std::filesystem::path& file, const Original& old);
    Result write(std::string_view bytes);
    Result commit();

  private:
    Result abandon(const char* what);
    std::filesystem::path file_;
    std::filesystem::path temp_;
#ifdef _WIN32
    void* handle_ = nullptr;
    std::uint32_t attributes_ = 0;
#else
    int fd_ = -1;
#endif
};

// Removes temporary files that an interrupted Replacement of this file left
// behind. Only safe while holding the file's Lock.
void removeLeftovers(const std::filesystem::path& file);

}  // namespace records::io
