#include "records/file_io.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#ifdef __APPLE__
#include <mach-o/dyld.h>
#include <climits>
#include <cstdlib>
#endif
#endif

namespace fs = std::filesystem;

namespace records::io {

fs::path pathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const fs::path& path) {
    std::u8string u = path.u8string();
    return std::string(u.begin(), u.end());
}

namespace {

// Reads never ask for more than this at once: Windows counts in 32 bits.
constexpr std::size_t kChunk = std::size_t{1} << 30;

constexpr std::string_view kTemporaryMark = ".kestrune-";
constexpr std::string_view kTemporaryEnd = ".tmp";

std::atomic<unsigned> temporaryCounter{0};

// "<file>.kestrune-<process>-<n>.tmp": unique per process and attempt, and a
// name no one would give a diary.
fs::path temporaryPathFor(const fs::path& file, unsigned long process) {
    fs::path temp = file;
    temp += std::string(kTemporaryMark) + std::to_string(process) + "-" +
            std::to_string(temporaryCounter.fetch_add(1)) + std::string(kTemporaryEnd);
    return temp;
}

Result failure(std::string what, const std::string& cause) {
    return {what + "（" + cause + "）"};
}

}  // namespace

Result resolveLinks(const fs::path& file, fs::path& target) {
    std::error_code ec;
    target = file;
    if (!fs::is_symlink(fs::symlink_status(file, ec))) return {};
    fs::path resolved = fs::canonical(file, ec);
    if (ec) return {"记录文件是一个链接，它指向的文件不存在或无法访问"};
    target = resolved;
    return {};
}

bool isTemporaryOf(const fs::path& file, const fs::path& candidate) {
    std::u8string name = candidate.filename().u8string();
    std::u8string prefix = file.filename().u8string();
    prefix.append(kTemporaryMark.begin(), kTemporaryMark.end());
    std::u8string end(kTemporaryEnd.begin(), kTemporaryEnd.end());
    return name.size() > prefix.size() + end.size() && name.starts_with(prefix) &&
           name.ends_with(end);
}

void removeLeftovers(const fs::path& file) {
    fs::path dir = file.parent_path();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (!isTemporaryOf(file, it->path())) continue;
        std::error_code ignored;  // a leftover that stays is harmless, only untidy
        fs::remove(it->path(), ignored);
    }
}

#ifdef _WIN32

namespace {

std::string toUtf8(const wchar_t* wide, int length) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, out.data(), n, nullptr, nullptr);
    return out;
}

// The system's own words for an error, in the language of the user's Windows.
std::string systemText(DWORD err) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (n > 0 && text != nullptr) {
        while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ' ||
                         text[n - 1] == L'.' || text[n - 1] == L'\x3002')) {
            --n;
        }
        out = toUtf8(text, static_cast<int>(n));
    }
    if (text != nullptr) LocalFree(text);
    return out;
}

std::string cause(DWORD err) {
    switch (err) {
        case ERROR_ACCESS_DENIED:
            return "没有权限，或文件是只读的";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "文件正被其他程序占用";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "磁盘空间不足";
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
            return "文件夹不存在";
        case ERROR_WRITE_PROTECT:
            return "磁盘有写保护";
        case ERROR_FILENAME_EXCED_RANGE:
            return "路径太长";
        default: {
            std::string text = systemText(err);
            return "系统错误 " + std::to_string(err) + (text.empty() ? "" : "：" + text);
        }
    }
}

Result failure(std::string what, DWORD err) {
    return failure(std::move(what), cause(err));
}

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h) {
        close();
        h_ = h;
    }
    bool close() {
        if (!valid()) return true;
        BOOL ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != 0;
    }

  private:
    HANDLE h_;
};

bool writeAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD want = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD done = 0;
        if (!WriteFile(h, bytes.data(), want, &done, nullptr)) return false;
        if (done == 0) {
            SetLastError(ERROR_HANDLE_DISK_FULL);
            return false;
        }
        bytes.remove_prefix(done);
    }
    return true;
}

}  // namespace

std::string programFilePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return toUtf8(buffer.data(), static_cast<int>(n));
        // Truncated: the longest path Windows knows is 32767 characters.
        if (buffer.size() > 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

Lock::~Lock() {
    if (handle_ == nullptr) return;
    OVERLAPPED whole{};
    UnlockFileEx(handle_, 0, 1, 0, &whole);
    CloseHandle(handle_);
}

Result Lock::acquire(const fs::path& lockFile) {
    HANDLE h = CreateFileW(lockFile.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return failure("无法在记录文件所在的文件夹中建立锁文件", GetLastError());
    OVERLAPPED whole{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        DWORD err = GetLastError();
        CloseHandle(h);
        return failure("无法锁定记录文件", err);
    }
    handle_ = h;
    return {};
}

Result readWhole(const fs::path& file, Existing& out) {
    out = Existing{};
    DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND) return {};
        return failure("无法读取原有的记录文件", err);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return {"无法读取原有的记录文件（这个位置上是一个文件夹，不是文件）"};
    }
    Handle h(CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h.valid()) return failure("无法读取原有的记录文件", GetLastError());
    if (GetFileType(h.get()) != FILE_TYPE_DISK) {
        return {"无法读取原有的记录文件（它不是一个普通文件）"};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h.get(), &size)) return failure("无法读取原有的记录文件", GetLastError());
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 65536);  // it grew meanwhile
        DWORD want = static_cast<DWORD>(std::min(bytes.size() - got, kChunk));
        DWORD n = 0;
        if (!ReadFile(h.get(), bytes.data() + got, want, &n, nullptr)) {
            return failure("无法读取原有的记录文件", GetLastError());
        }
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    out.exists = true;
    out.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    out.bytes = std::move(bytes);
    out.permissions = attributes;
    return {};
}

Result replaceWhole(const fs::path& file, std::initializer_list<std::string_view> pieces,
                    const Existing& old) {
    fs::path temp;
    Handle h(INVALID_HANDLE_VALUE);
    DWORD err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = temporaryPathFor(file, GetCurrentProcessId());
        HANDLE made = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (made != INVALID_HANDLE_VALUE) {
            h.reset(made);
            break;
        }
        err = GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
    }
    if (!h.valid()) return failure("无法建立临时文件", err);

    auto abandon = [&](const char* what) {
        DWORD why = GetLastError();
        h.close();
        DeleteFileW(temp.c_str());
        return failure(what, why);
    };
    for (std::string_view piece : pieces) {
        if (!writeAll(h.get(), piece)) return abandon("无法写入新内容");
    }
    // MoveFileEx's write-through covers the move, not the data: flush first.
    if (!FlushFileBuffers(h.get())) return abandon("无法把新内容写到磁盘上");
    if (!h.close()) return abandon("无法把新内容写到磁盘上");
    if (old.exists) {
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        DWORD kept = old.permissions & kKept;
        // The look of the file only; its content is already safe.
        SetFileAttributesW(temp.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    if (!MoveFileExW(temp.c_str(), file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return abandon("无法用新内容替换记录文件");
    }
    return {};
}

#else  // POSIX

namespace {

std::string cause(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "没有权限";
        case ENOSPC:
        case EDQUOT:
            return "磁盘空间不足";
        case EROFS:
            return "磁盘是只读的";
        case ENOENT:
            return "文件夹不存在";
        case ENOTDIR:
            return "路径中有一部分不是文件夹";
        case EISDIR:
            return "这个位置上是一个文件夹，不是文件";
        case EIO:
            return "磁盘读写出错";
        case ENAMETOOLONG:
            return "路径太长";
        case EMFILE:
        case ENFILE:
            return "打开的文件太多";
        case ENOMEM:
            return "内存不足";
        default:
            return "系统错误 " + std::to_string(err) + "：" + std::strerror(err);
    }
}

Result failure(std::string what, int err) {
    return failure(std::move(what), cause(err));
}

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    // Some file systems (NFS) report a failed write only here.
    bool close() {
        if (fd_ < 0) return true;
        int r = ::close(fd_);
        fd_ = -1;
        return r == 0 || errno == EINTR;
    }

  private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), std::min(bytes.size(), kChunk));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool syncFile(int fd) {
#ifdef __APPLE__
    // fsync on macOS stops at the drive's cache.
    if (::fcntl(fd, F_FULLFSYNC) == 0) return true;
#endif
    return ::fsync(fd) == 0;
}

// Makes the rename itself durable. It runs after the rename, when the new
// content is already in place: a failure here changes nothing for the user,
// and some file systems refuse to sync a directory at all.
void syncDirectory(const fs::path& dir) {
    Descriptor d(openRetrying(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.valid()) ::fsync(d.get());
}

}  // namespace

std::string programFilePath() {
#if defined(__linux__)
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n <= 0) return {};
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string buffer(size, '\0');
    if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
    char resolved[PATH_MAX];
    if (::realpath(buffer.c_str(), resolved) == nullptr) return {};
    return resolved;
#else
    return {};
#endif
}

Lock::~Lock() {
    if (fd_ >= 0) ::close(fd_);
}

Result Lock::acquire(const fs::path& lockFile) {
    // Close-on-exec: a browser or player started later must not inherit it.
    int fd = openRetrying(lockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return failure("无法在记录文件所在的文件夹中建立锁文件", errno);
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        int err = errno;
        // A file system without locks still gets its save; only two copies
        // saving in the same instant could then collide.
        if (err == ENOLCK || err == EOPNOTSUPP || err == ENOSYS) break;
        ::close(fd);
        return failure("无法锁定记录文件", err);
    }
    fd_ = fd;
    return {};
}

Result readWhole(const fs::path& file, Existing& out) {
    out = Existing{};
    // Non-blocking: a FIFO in the diary's place must not hang the program.
    Descriptor d(openRetrying(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!d.valid()) {
        if (errno == ENOENT) return {};
        return failure("无法读取原有的记录文件", errno);
    }
    struct stat st {};
    if (::fstat(d.get(), &st) != 0) return failure("无法读取原有的记录文件", errno);
    if (S_ISDIR(st.st_mode)) return failure("无法读取原有的记录文件", EISDIR);
    if (!S_ISREG(st.st_mode)) return {"无法读取原有的记录文件（它不是一个普通文件）"};

    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 65536);  // it grew meanwhile
        ssize_t n = ::read(d.get(), bytes.data() + got, std::min(bytes.size() - got, kChunk));
        if (n < 0) {
            if (errno == EINTR) continue;
            return failure("无法读取原有的记录文件", errno);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    out.exists = true;
    out.writable = ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
    out.bytes = std::move(bytes);
    out.permissions = static_cast<std::uint32_t>(st.st_mode & 07777);
    out.owner = static_cast<std::uint32_t>(st.st_uid);
    out.group = static_cast<std::uint32_t>(st.st_gid);
    return {};
}

Result replaceWhole(const fs::path& file, std::initializer_list<std::string_view> pieces,
                    const Existing& old) {
    fs::path temp;
    Descriptor d;
    int err = 0;
    for (int attempt = 0; attempt < 100 && !d.valid(); ++attempt) {
        temp = temporaryPathFor(file, static_cast<unsigned long>(::getpid()));
        // 0666 through the umask, as any new file of the user's.
        d.reset(
            openRetrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
        if (!d.valid()) err = errno;
        if (!d.valid() && err != EEXIST) break;
    }
    if (!d.valid()) return failure("无法建立临时文件", err);

    auto abandon = [&](const char* what) {
        int why = errno;
        d.close();
        ::unlink(temp.c_str());
        return failure(what, why);
    };
    if (old.exists) {
        // Only root may give a file away; anyone else keeps their own.
        if (old.owner != ::geteuid() || old.group != ::getegid()) {
            if (::fchown(d.get(), old.owner, old.group) != 0) {
            }
        }
        if (::fchmod(d.get(), static_cast<mode_t>(old.permissions)) != 0) {
            return abandon("无法设置临时文件的权限");
        }
    }
    for (std::string_view piece : pieces) {
        if (!writeAll(d.get(), piece)) return abandon("无法写入新内容");
    }
    if (!syncFile(d.get())) return abandon("无法把新内容写到磁盘上");
    if (!d.close()) return abandon("无法把新内容写到磁盘上");
    if (::rename(temp.c_str(), file.c_str()) != 0) return abandon("无法用新内容替换记录文件");
    syncDirectory(file.parent_path());
    return {};
}

#endif

}  // namespace records::io
