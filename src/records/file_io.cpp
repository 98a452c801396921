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

// No read or write asks for more than this at once: Windows counts in 32 bits.
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

bool isTemporaryOf(const fs::path& file, const fs::path& candidate) {
    std::u8string name = candidate.filename().u8string();
    std::u8string prefix = file.filename().u8string();
    prefix.append(kTemporaryMark.begin(), kTemporaryMark.end());
    std::u8string end(kTemporaryEnd.begin(), kTemporaryEnd.end());
    return name.size() > prefix.size() + end.size() && name.starts_with(prefix) &&
           name.ends_with(end);
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

Original::~Original() {
    close();
}

void Original::close() {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
}

Result Original::open(const fs::path& file) {
    DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND) return {};
        return failure("无法读取原有的记录文件", err);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return {"无法读取原有的记录文件（这个位置上是一个文件夹，不是文件）"};
    }
    HANDLE h = CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return failure("无法读取原有的记录文件", GetLastError());
    handle_ = h;
    if (GetFileType(h) != FILE_TYPE_DISK) return {"无法读取原有的记录文件（它不是一个普通文件）"};
    exists_ = true;
    writable_ = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    permissions_ = attributes;
    return {};
}

Result Original::read(std::span<char> buffer, std::string_view& chunk) {
    chunk = {};
    if (handle_ == nullptr) return {};
    DWORD want = static_cast<DWORD>(std::min(buffer.size(), kChunk));
    DWORD n = 0;
    if (!ReadFile(handle_, buffer.data(), want, &n, nullptr)) {
        return failure("无法读取原有的记录文件", GetLastError());
    }
    chunk = std::string_view(buffer.data(), n);
    return {};
}

Replacement::~Replacement() {
    if (handle_ != nullptr) CloseHandle(handle_);
    if (!temp_.empty()) DeleteFileW(temp_.c_str());
}

Result Replacement::abandon(const char* what) {
    DWORD why = GetLastError();
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
    if (!temp_.empty()) DeleteFileW(temp_.c_str());
    temp_.clear();
    return failure(what, why);
}

Result Replacement::create(const fs::path& file, const Original& old) {
    file_ = file;
    DWORD err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = temporaryPathFor(file, GetCurrentProcessId());
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = h;
            temp_ = temp;
            break;
        }
        err = GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
    }
    if (handle_ == nullptr) return failure("无法建立临时文件", err);
    if (old.exists_) {
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        attributes_ = old.permissions_ & kKept;
    }
    return {};
}

Result Replacement::write(std::string_view bytes) {
    if (handle_ == nullptr) return {"无法写入新内容"};
    while (!bytes.empty()) {
        DWORD want = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD done = 0;
        if (!WriteFile(handle_, bytes.data(), want, &done, nullptr)) {
            return abandon("无法写入新内容");
        }
        if (done == 0) {
            SetLastError(ERROR_HANDLE_DISK_FULL);
            return abandon("无法写入新内容");
        }
        bytes.remove_prefix(done);
    }
    return {};
}

Result Replacement::commit() {
    if (handle_ == nullptr) return {"无法写入新内容"};
    // MoveFileEx's write-through covers the move, not the data: flush first.
    if (!FlushFileBuffers(handle_)) return abandon("无法把新内容写到磁盘上");
    BOOL closed = CloseHandle(handle_);
    handle_ = nullptr;
    if (!closed) return abandon("无法把新内容写到磁盘上");
    if (attributes_ != 0) {
        // The look of the file only; its content is already safe.
        SetFileAttributesW(temp_.c_str(), attributes_);
    }
    if (!MoveFileExW(temp_.c_str(), file_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return abandon("无法用新内容替换记录文件");
    }
    temp_.clear();
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
    int fd = openRetrying(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
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

Original::~Original() {
    close();
}

void Original::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Result Original::open(const fs::path& file) {
    // Non-blocking: a FIFO in the diary's place must not hang the program.
    fd_ = openRetrying(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        if (errno == ENOENT) return {};
        return failure("无法读取原有的记录文件", errno);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return failure("无法读取原有的记录文件", errno);
    if (S_ISDIR(st.st_mode)) return failure("无法读取原有的记录文件", EISDIR);
    if (!S_ISREG(st.st_mode)) return {"无法读取原有的记录文件（它不是一个普通文件）"};
    exists_ = true;
    writable_ = ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
    permissions_ = static_cast<std::uint32_t>(st.st_mode & 07777);
    owner_ = static_cast<std::uint32_t>(st.st_uid);
    group_ = static_cast<std::uint32_t>(st.st_gid);
    return {};
}

Result Original::read(std::span<char> buffer, std::string_view& chunk) {
    chunk = {};
    if (fd_ < 0) return {};
    ssize_t n;
    do {
        n = ::read(fd_, buffer.data(), std::min(buffer.size(), kChunk));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return failure("无法读取原有的记录文件", errno);
    chunk = std::string_view(buffer.data(), static_cast<std::size_t>(n));
    return {};
}

Replacement::~Replacement() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

Result Replacement::abandon(const char* what) {
    int why = errno;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    return failure(what, why);
}

Result Replacement::create(const fs::path& file, const Original& old) {
    file_ = file;
    int err = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        fs::path temp = temporaryPathFor(file, static_cast<unsigned long>(::getpid()));
        // 0666 through the umask, as any new file of the user's.
        fd_ = openRetrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ >= 0) {
            temp_ = temp;
        } else if ((err = errno) != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) return failure("无法建立临时文件", err);
    if (old.exists_) {
        // Only root may give a file away; anyone else keeps their own.
        if (old.owner_ != ::geteuid() || old.group_ != ::getegid()) {
            if (::fchown(fd_, old.owner_, old.group_) != 0) {
            }
        }
        if (::fchmod(fd_, static_cast<mode_t>(old.permissions_)) != 0) {
            return abandon("无法设置临时文件的权限");
        }
    }
    return {};
}

Result Replacement::write(std::string_view bytes) {
    if (fd_ < 0) return {"无法写入新内容"};
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), std::min(bytes.size(), kChunk));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return abandon("无法写入新内容");
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

Result Replacement::commit() {
    if (fd_ < 0) return {"无法写入新内容"};
    if (!syncFile(fd_)) return abandon("无法把新内容写到磁盘上");
    // Some file systems (NFS) report a failed write only at the close.
    int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR) return abandon("无法把新内容写到磁盘上");
    if (::rename(temp_.c_str(), file_.c_str()) != 0) return abandon("无法用新内容替换记录文件");
    temp_.clear();
    syncDirectory(file_.parent_path());
    return {};
}

#endif

}  // namespace records::io
