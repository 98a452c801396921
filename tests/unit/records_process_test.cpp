// The diary against other processes: savers killed in the middle of a save,
// and several copies of the program saving at the same moment.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <thread>
#include <vector>

#include "records_test_files.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

using namespace recordtest;

namespace {

constexpr const char* kHeader = "》》》》》》2016年2月24日9时5分3秒";

// What diary_saver writes as its block i.
std::string block(long i, const std::string& tag) {
    return gbk(std::string(kHeader) + "\r\nNo.1：常规计时（单项）-" + std::to_string(i) +
               "分钟-题量：" + tag);
}

// A running diary_saver.
class Saver {
  public:
    Saver(const fs::path& programFile, const std::string& tag, long first, long count) {
        std::vector<std::string> args = {KESTRUNE_DIARY_SAVER, utf8(programFile), tag,
                                         std::to_string(first), std::to_string(count)};
#ifdef _WIN32
        std::wstring line;
        for (const std::string& a : args) {
            std::wstring wide = path(a).wstring();
            line += L"\"" + wide + L"\" ";
        }
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi)) {
            CloseHandle(pi.hThread);
            process_ = pi.hProcess;
        }
#else
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
#endif
    }
    ~Saver() {
        kill();
        wait();
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    bool started() const {
#ifdef _WIN32
        return process_ != nullptr;
#else
        return pid_ > 0;
#endif
    }

    // As abrupt as a crash or a power cut is for the process: no clean-up runs.
    void kill() {
#ifdef _WIN32
        if (process_ != nullptr) TerminateProcess(process_, 137);
#else
        if (pid_ > 0) ::kill(pid_, SIGKILL);
#endif
    }

    // The exit status; -1 when it was killed or never ran.
    int wait() {
#ifdef _WIN32
        if (process_ == nullptr) return status_;
        WaitForSingleObject(process_, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        CloseHandle(process_);
        process_ = nullptr;
        status_ = code == 137 ? -1 : static_cast<int>(code);
#else
        if (pid_ <= 0) return status_;
        int st = 0;
        while (::waitpid(pid_, &st, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
#endif
        return status_;
    }

  private:
#ifdef _WIN32
    HANDLE process_ = nullptr;
#else
    pid_t pid_ = -1;
#endif
    int status_ = -1;
};

// How many of blocks 0, 1, 2 ... follow the seed; -1 when the diary is not
// the seed and a whole number of them.
long wholeBlocks(const std::string& diary, const std::string& seed, const std::string& tag) {
    if (diary.compare(0, seed.size(), seed) != 0) return -1;
    std::size_t at = seed.size();
    long n = 0;
    while (at < diary.size()) {
        std::string next = (at == 0 ? "" : "\r\n") + block(n, tag);
        if (diary.compare(at, next.size(), next) != 0) return -1;
        at += next.size();
        ++n;
    }
    return n;
}

// Names in the folder that are neither the program's diary nor its lock.
std::vector<std::string> strayFiles(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        std::string name = utf8(e.path().filename());
        if (name != utf8(diaryName()) && name != utf8(diaryName()) + ".lock") out.push_back(name);
    }
    return out;
}

}  // namespace

// A saver killed at random moments, over and over, on top of a diary the
// user already has: after every kill the diary is that old content followed
// by whole blocks, in order, never a torn or missing one.
TEST(DiaryProcesses, KilledSaversNeverTearTheDiary) {
    TempDir dir;
    fs::path program = dir.path() / "kestrune";
    fs::path diary = dir.path() / diaryName();
    // Big enough that a save takes a while, so that kills land inside it.
    std::string seed;
    for (int i = 0; seed.size() < 512 * 1024; ++i) {
        seed += gbk("》》》》》》2015年3月" + std::to_string(i % 28 + 1) +
                    "日8时\r\nNo.1：判断推理-40分钟-题量：35\r\nNo.2：言语理解与表达-30分钟-题量："
                    "40\r\n");
    }
    seed += gbk("手写的备注：明天做申论");
    writeBytes(diary, seed);

    // Kills must reach past the saver's start-up into its saves: starting a
    // process takes a millisecond on Linux but a few hundred under Wine.
    const auto startAndOneSave = [&] {
        TempDir other;
        writeBytes(other.path() / diaryName(), seed);
        auto start = std::chrono::steady_clock::now();
        Saver saver(other.path() / "kestrune", "K", 0, 1);
        saver.wait();
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
    }();
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> microseconds(
        0, std::max<long>(40'000, 2 * static_cast<long>(startAndOneSave.count())));
#ifdef _WIN32
    constexpr int kRounds = 20;  // a process start costs a quarter of a second under Wine
#else
    constexpr int kRounds = 40;
#endif
    long blocks = 0;
    int killedInsideASave = 0;
    for (int round = 0; round < kRounds; ++round) {
        {
            Saver saver(program, "K", blocks, 1'000'000);
            ASSERT_TRUE(saver.started());
            std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
            saver.kill();
            saver.wait();
        }
        long now = wholeBlocks(readBytes(diary), seed, "K");
        ASSERT_GE(now, blocks) << "after kill " << round << " the diary is torn or lost blocks";
        blocks = now;
        // A temporary file left behind: the kill came between its creation
        // and the rename.
        if (!strayFiles(dir.path()).empty()) ++killedInsideASave;
    }

    // The next clean save goes on from there and tidies up.
    Saver last(program, "K", blocks, 1);
    EXPECT_EQ(last.wait(), 0);
    EXPECT_EQ(wholeBlocks(readBytes(diary), seed, "K"), blocks + 1);
    EXPECT_TRUE(strayFiles(dir.path()).empty());
    std::printf("[ info     ] %d kills, %d inside a save, %ld blocks saved\n", kRounds,
                killedInsideASave, blocks + 1);
    EXPECT_GT(blocks, 0) << "the savers never got to save: the test proves nothing";
}

// Several copies saving many blocks each at the same time: every block ends
// up in the diary exactly once, each copy's in its own order.
TEST(DiaryProcesses, CopiesSavingAtOnceKeepEveryBlock) {
    TempDir dir;
    fs::path program = dir.path() / "kestrune";
    fs::path diary = dir.path() / diaryName();
    constexpr int kCopies = 4;
    constexpr long kBlocks = 25;
    {
        std::vector<std::unique_ptr<Saver>> savers;
        for (int c = 0; c < kCopies; ++c) {
            savers.push_back(std::make_unique<Saver>(program, "P" + std::to_string(c), 0, kBlocks));
        }
        for (auto& s : savers) EXPECT_EQ(s->wait(), 0);
    }

    std::string bytes = readBytes(diary);
    std::string separator = "\r\n" + gbk(kHeader);
    ASSERT_EQ(bytes.compare(0, gbk(kHeader).size(), gbk(kHeader)), 0);
    std::vector<std::string> found;
    std::size_t start = 0;
    for (;;) {
        std::size_t next = bytes.find(separator, start + 1);
        found.push_back(bytes.substr(start, next == std::string::npos ? next : next - start));
        if (next == std::string::npos) break;
        start = next + 2;
    }

    std::map<std::string, long> nextOf;
    std::set<std::string> seen;
    const std::regex shape(
        "^》》》》》》2016年2月24日9时5分3秒\r\nNo\\.1：常规计时（单项）-"
        "([0-9]+)分钟-题量：(P[0-9])$");
    for (const std::string& b : found) {
        std::string line = text::gbkToUtf8(b);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, shape)) << "a torn block: " << line;
        long i = std::stol(m[1]);
        std::string tag = m[2];
        EXPECT_TRUE(seen.insert(line).second) << "twice: " << line;
        EXPECT_EQ(i, nextOf[tag]) << tag << " out of order or missing";
        nextOf[tag] = i + 1;
    }
    EXPECT_EQ(found.size(), static_cast<std::size_t>(kCopies * kBlocks));
    for (int c = 0; c < kCopies; ++c) EXPECT_EQ(nextOf["P" + std::to_string(c)], kBlocks);
    EXPECT_TRUE(strayFiles(dir.path()).empty());
}
