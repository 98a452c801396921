// Usage: save_bench [folder]   (default: a new folder in the current one)
//
// The time of one save (lock, read the whole diary, write it and the new
// block to a temporary file, flush, rename, flush the folder) against the
// least any whole-file save must spend: copying the same file once and making
// the copy just as durable (flush of the file and of its folder, then
// rename). Both run on the same disk in the same run, taking turns; the
// figures are medians. Run it on the disk the diary lives on: in a RAM
// folder (tmpfs) every flush is free and only the copying is compared.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "records/diary.h"
#include "records/file_io.h"
#include "text/gbk.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The floor: one plain copy, flushed and renamed into place as durably as a
// save is.
bool copyDurably(const fs::path& from, const fs::path& to) {
    fs::path temp = to;
    temp += ".tmp";
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    bool ok = in >= 0 && out >= 0;
    // The same buffer as a save copies through, made afresh as a save does.
    constexpr std::size_t kBuffer = 128 * 1024;
    auto buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
    while (ok) {
        ssize_t n = ::read(in, buffer.get(), kBuffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = writeAll(out, buffer.get(), static_cast<std::size_t>(n));
    }
    ok = ok && ::fsync(out) == 0;
    if (in >= 0) ::close(in);
    if (out >= 0) ok = ::close(out) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), to.c_str()) == 0;
    int dir = ::open(to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ok = ok && dir >= 0 && ::fsync(dir) == 0;
    if (dir >= 0) ::close(dir);
    return ok;
}

// A diary of about the given size, as years of saves would make it.
void makeDiary(const fs::path& file, std::size_t size) {
    std::string one = text::utf8ToGbk(
        "》》》》》》2016年2月24日9时5分3秒\r\nNo.1：常识判断-25分钟-题量：10\r\n"
        "No.2：数量关系-18分钟-题量：15\r\nNo.3：资料分析-30分钟-题量：20");
    std::string bytes;
    bytes.reserve(size + one.size());
    while (bytes.size() + one.size() + 2 <= size) bytes += (bytes.empty() ? "" : "\r\n") + one;
    bytes.resize(std::max(bytes.size(), size), 'x');
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || !writeAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
    ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path base = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "save-bench.tmp";
    fs::create_directories(base);
    struct Size {
        const char* name;
        std::size_t bytes;
        int rounds;
    };
    const Size sizes[] = {{"1 KB", 1024, 101},
                          {"1 MB", 1024 * 1024, 41},
                          {"10 MB", 10 * 1024 * 1024, 9},
                          {"100 MB", 100 * 1024 * 1024, 5}};
    std::string block =
        text::utf8ToGbk("》》》》》》2016年2月24日10时2分41秒\r\nNo.1：资料分析-30分钟-题量：20");

    std::printf("save_bench in %s\n", base.c_str());
    std::printf("%-8s %12s %12s %8s %12s\n", "diary", "save ms", "floor ms", "ratio", "save ms/MB");
    bool allMet = true;
    for (const Size& s : sizes) {
        fs::path dir = base / ("diary-" + std::to_string(s.bytes));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::path diary = records::recordFilePath(records::io::pathToUtf8(dir / "kestrune"));
        fs::path copy = dir / "copy.txt";
        makeDiary(diary, s.bytes);
        copyDurably(diary, copy);  // warms the page cache and the folder alike

        std::vector<double> save, floor;
        for (int round = 0; round < s.rounds; ++round) {
            // Taking turns, first one then the other, so that neither always
            // finds the disk busy with the other's leftovers.
            for (int turn = 0; turn < 2; ++turn) {
                bool saving = (round + turn) % 2 == 0;
                auto start = Clock::now();
                bool ok =
                    saving ? records::appendBlock(diary, block).ok() : copyDurably(diary, copy);
                double ms = millisecondsSince(start);
                if (!ok) {
                    std::fprintf(stderr, "%s failed at %s\n", saving ? "save" : "copy", s.name);
                    return 1;
                }
                (saving ? save : floor).push_back(ms);
            }
        }
        double saveMs = median(save), floorMs = median(floor);
        double ratio = saveMs / floorMs;
        allMet = allMet && ratio <= 1.2;
        std::printf("%-8s %12.3f %12.3f %8.3f %12.3f\n", s.name, saveMs, floorMs, ratio,
                    saveMs / (static_cast<double>(s.bytes) / (1024.0 * 1024.0)));
        std::fflush(stdout);
        fs::remove_all(dir);
    }
    std::printf("goal: ratio <= 1.2 at every size: %s\n", allMet ? "met" : "NOT met");
    fs::remove(base);
    return 0;
}
