#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "fake_program.h"
#include "records/diary.h"
#include "records/log.h"
#include "records_test_files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using fake::Program;
using namespace recordtest;

namespace {

constexpr const char* kHeader = "》》》》》》2016年2月24日9时5分3秒";

void countUpAndPause(Program& p, int seconds) {
    p.click(p.w.按钮1);
    p.toolkit.advanceSeconds(seconds);
    p.click(p.w.按钮4);
}

// One record line with the given section and picked question count, after
// counting up for the given time from zero.
void record(Program& p, int seconds, int section, int count) {
    p.click(p.w.按钮3);
    countUpAndPause(p, seconds);
    fake::as<fake::CheckList>(p.w.选择列表框1).select(section);
    fake::as<fake::ComboBox>(p.w.组合框2).pick(count);
    p.click(p.w.按钮5);
}

// Program and diary in a fresh folder with a Chinese name; the log started
// at 9:05:03.
class RecordFile : public ::testing::Test {
  protected:
    RecordFile() {
        fs::create_directory(programDir);
        p.desktop.programFile = utf8(programDir / "kestrune");
        p.start();
    }
    void saveAt(int hour, int minute, int second) {
        p.desktop.clock = {2016, 2, 24, hour, minute, second};
        p.click(p.w.按钮6);
    }
    std::string diaryBytes() const { return readBytes(diary); }

    TempDir dir;
    fs::path programDir = dir.path() / path("公考 练习");
    fs::path diary = programDir / diaryName();
    Program p;
};

const char* kFirstBlock =
    "》》》》》》2016年2月24日9时5分3秒\r\n"
    "No.1：常识判断-25分钟-题量：10\r\n"
    "No.2：数量关系-18分钟-题量：15";

}  // namespace

// A run of saves as a user makes them, the file checked byte for byte in GBK
// after each: first save, a second, and a third right after it.
TEST_F(RecordFile, SavesBlockAfterBlock) {
    record(p, 25 * 60 + 40, 2, 2);
    record(p, 18 * 60 + 9, 4, 3);
    std::string diaryDuringMessage;
    p.desktop.whileMessageOpen = [&](const fake::Message&) { diaryDuringMessage = diaryBytes(); };

    saveAt(10, 2, 41);
    EXPECT_EQ(diaryBytes(), gbk(kFirstBlock));
    EXPECT_EQ(diaryDuringMessage, diaryBytes()) << "the file is written before the message";
    ASSERT_EQ(p.desktop.messages.size(), 2u);
    EXPECT_EQ(p.desktop.messages.back().title, "信息：");
    EXPECT_EQ(p.desktop.messages.back().text,
              "临时记录被清空，时间已被记录到TXT文档，可到软件所在目录下查询");
    EXPECT_EQ(p.w.编辑框1->text(), "》》》》》》2016年2月24日10时2分41秒");
    EXPECT_EQ(p.clock.recordNo, 1);
    EXPECT_TRUE(p.w.按钮5->isEnabled());
    EXPECT_TRUE(p.w.按钮6->isEnabled());

    record(p, 30 * 60, 6, 4);
    EXPECT_EQ(p.w.编辑框1->text(),
              "》》》》》》2016年2月24日10时2分41秒\r\nNo.1：资料分析-30分钟-题量：20");
    saveAt(11, 30, 7);
    std::string second = std::string(kFirstBlock) +
                         "\r\n》》》》》》2016年2月24日10时2分41秒"
                         "\r\nNo.1：资料分析-30分钟-题量：20";
    EXPECT_EQ(diaryBytes(), gbk(second));

    saveAt(11, 30, 9);
    EXPECT_EQ(diaryBytes(), gbk(second + "\r\n》》》》》》2016年2月24日11时30分7秒"));
    EXPECT_EQ(p.w.编辑框1->text(), "》》》》》》2016年2月24日11时30分9秒");
    EXPECT_EQ(p.desktop.messages.size(), 4u);
}

// Whatever the file held before stays byte for byte in front of the new
// block: nothing is decoded or re-encoded, and an empty file is as none.
TEST_F(RecordFile, KeepsTheExistingBytesExactly) {
    struct Case {
        const char* name;
        std::string before;
        std::string separator;
    };
    std::string everyByte;
    for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
    const Case cases[] = {
        {"an empty file", "", ""},
        {"hand-edited, ending with a line break", gbk("我的笔记：今天状态不错\r\n"), "\r\n"},
        {"an earlier block", gbk(kFirstBlock), "\r\n"},
        {"bytes that are not GBK at all, a lone CR at the end", everyByte + "\xa3\r", "\r\n"},
    };
    record(p, 25 * 60, 2, 2);
    for (const Case& c : cases) {
        writeBytes(diary, c.before);
        std::string log = p.w.编辑框1->text();
        p.click(p.w.按钮6);
        EXPECT_EQ(diaryBytes(), c.before + c.separator + gbk(log)) << c.name;
        EXPECT_EQ(p.desktop.messages.back().text, records::kSaved) << c.name;
    }
}

// The kept log is saved whole once the obstacle is gone.
TEST_F(RecordFile, ARefusedSaveCanBeRetried) {
    record(p, 25 * 60 + 40, 2, 2);
    record(p, 18 * 60 + 9, 4, 3);
    fs::create_directory(diary);
    saveAt(10, 2, 41);
    EXPECT_NE(p.desktop.messages.back().text.find("没有保存"), std::string::npos);

    fs::remove(diary);
    saveAt(10, 3, 0);
    EXPECT_EQ(diaryBytes(), gbk(kFirstBlock));
    EXPECT_EQ(p.desktop.messages.back().text, records::kSaved);
    EXPECT_EQ(p.w.编辑框1->text(), "》》》》》》2016年2月24日10时3分");
}

// A diary that the user linked elsewhere (a synced folder) stays a link; the
// file it points to grows.
TEST_F(RecordFile, FollowsALinkedDiary) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
    fs::create_directory(dir.path() / "synced");
    fs::path real = dir.path() / "synced" / "diary.txt";
    writeBytes(real, gbk("旧记录"));
    fs::create_symlink(real, diary);
    record(p, 60, 0, 0);
    std::string log = p.w.编辑框1->text();
    p.click(p.w.按钮6);
    EXPECT_TRUE(fs::is_symlink(diary));
    EXPECT_EQ(readBytes(real), gbk("旧记录\r\n" + log));
#endif
}

// The replaced file keeps its permissions and, where the system lets us, its
// owner; a leftover of an interrupted save is cleared away, never read.
TEST_F(RecordFile, KeepsPermissionsAndClearsLeftovers) {
    writeBytes(diary, gbk("旧记录"));
    fs::path leftover = diary;
    leftover += ".kestrune-4242-0.tmp";
    writeBytes(leftover, gbk("半截的内容"));
    fs::path unrelated = diary;
    unrelated += ".bak";
    writeBytes(unrelated, "mine");
#ifndef _WIN32
    ASSERT_EQ(::chmod(diary.c_str(), 0640), 0);
    bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(diary.c_str(), 65534, 65534), 0);
    }
#endif
    record(p, 60, 0, 0);
    std::string log = p.w.编辑框1->text();
    p.click(p.w.按钮6);

    EXPECT_EQ(diaryBytes(), gbk("旧记录\r\n" + log));
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(readBytes(unrelated), "mine");
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat(diary.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
#endif
}

// With the platform's separator, and no doubled one at the root of a drive.
TEST(RecordFilePath, BesideTheProgram) {
    const std::pair<const char*, const char*> cases[] = {
#ifdef _WIN32
        {"D:\\练习\\kestrune.exe", "D:\\练习\\我的做题时间记录.txt"},
        {"D:\\kestrune.exe", "D:\\我的做题时间记录.txt"},
#else
        {"/opt/练习/kestrune", "/opt/练习/我的做题时间记录.txt"},
        {"/kestrune", "/我的做题时间记录.txt"},
#endif
    };
    for (auto [program, expected] : cases) {
        EXPECT_EQ(utf8(records::recordFilePath(program)), expected) << program;
    }
}

TEST(ProgramFile, IsTheRunningExecutable) {
    std::string self = records::io::programFilePath();
    ASSERT_FALSE(self.empty());
    fs::path file = path(self);
    EXPECT_TRUE(file.is_absolute()) << self;
    EXPECT_TRUE(fs::is_regular_file(file)) << self;
#ifdef __linux__
    // The file this test runs from, whatever name it was started by.
    EXPECT_TRUE(fs::equivalent(file, fs::absolute(program_invocation_name))) << self;
#endif
}

// ---------------------------------------------------------------------------
// Saves that cannot happen: each says so, names the file and the reason, and
// loses nothing.

namespace {

using Listing = std::map<std::string, std::string>;

// Everything in a folder but the lock file, which a refused save may leave.
Listing listing(const fs::path& dir) {
    Listing out;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::string name = utf8(it->path().filename());
        if (name == utf8(diaryName()) + ".lock") continue;
        std::error_code e;
        auto st = it->symlink_status(e);
        out[name] = fs::is_regular_file(st) ? readBytes(it->path())
                    : fs::is_directory(st)  ? "<folder>"
                                            : "<other>";
    }
    return out;
}

// Records two lines in a program in programDir and saves. Returns what is
// wrong with the refusal ("" when all is as it should be).
std::string refusedSave(const fs::path& programDir, const std::string& cause) {
    Program p;
    p.desktop.programFile = utf8(programDir / "kestrune");
    p.start();
    record(p, 25 * 60, 2, 2);
    record(p, 18 * 60, 4, 3);
    std::string log = p.w.编辑框1->text();
    p.desktop.clock = {2016, 2, 24, 10, 2, 41};
    p.click(p.w.按钮6);

    std::ostringstream wrong;
    const fake::Message& m = p.desktop.messages.back();
    if (p.desktop.messages.size() != 2) wrong << "expected one message; ";
    if (m.title != "信息：") wrong << "title " << m.title << "; ";
    for (const std::string& part : {std::string("没有保存"), std::string("临时记录仍保留"),
                                    utf8(records::recordFilePath(p.desktop.programFile)), cause}) {
        if (m.text.find(part) == std::string::npos) wrong << "message lacks \"" << part << "\"; ";
    }
    if (p.w.编辑框1->text() != log) wrong << "log changed to " << p.w.编辑框1->text() << "; ";
    if (p.clock.recordNo != 3) wrong << "recordNo " << p.clock.recordNo << "; ";
    if (!p.w.按钮5->isEnabled() || !p.w.按钮6->isEnabled()) wrong << "buttons changed; ";
    if (!wrong.str().empty()) wrong << "message: " << m.text;
    return wrong.str();
}

#ifndef _WIN32
// Runs body in a child process and returns what it returned. As root the
// child takes the rights of nobody, since root passes every permission check.
std::string inChild(bool ordinaryUser, const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        std::string out;
        if (ordinaryUser && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            out = "cannot become nobody";
        } else {
            out = body();
        }
        std::string_view rest = out;
        while (!rest.empty()) {
            ssize_t n = ::write(pipeEnds[1], rest.data(), rest.size());
            if (n <= 0) break;
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return "child died: " + std::to_string(status) + " " + out;
    return out;
}

bool writeTextFile(const char* file, const std::string& text) {
    int fd = ::open(file, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

// Root gets a mount namespace of its own; an ordinary user, where the system
// allows it, one inside a user namespace of its own in which it is root.
bool ownMountNamespace() {
    if (::unshare(CLONE_NEWNS) == 0) return true;
    std::string uid = std::to_string(::geteuid()), gid = std::to_string(::getegid());
    return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
           writeTextFile("/proc/self/setgroups", "deny") &&
           writeTextFile("/proc/self/uid_map", "0 " + uid + " 1") &&
           writeTextFile("/proc/self/gid_map", "0 " + gid + " 1");
}
#endif

struct Refusal {
    const char* name;
    bool ordinaryUser;  // the case needs permissions that root would pass
    std::function<fs::path(const fs::path& dir)> arrange;  // returns the program's folder
    const char* cause;
};

void makeFolder(const fs::path& dir, fs::perms perms) {
    fs::create_directory(dir);
    fs::permissions(dir, perms);
}

const fs::perms kEveryone = fs::perms::all;
const fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;

}  // namespace

TEST(RecordFileRefused, SaysWhyAndKeepsEverything) {
    std::string utf16 = "\xff\xfe";
    for (char16_t c : u"我的笔记\r\n") {
        if (c == 0) break;
        utf16 += static_cast<char>(c & 0xff);
        utf16 += static_cast<char>(c >> 8);
    }
    const Refusal cases[] = {
        {"a folder in the file's place", false,
         [](const fs::path& d) {
             fs::create_directory(d / diaryName());
             return d;
         },
         "文件夹"},
        {"the program's folder is gone", false, [](const fs::path& d) { return d / "gone"; },
         "文件夹不存在"},
        {"a zero byte: the file was saved as UTF-16", false,
         [&](const fs::path& d) {
             writeBytes(d / diaryName(), utf16);
             return d;
         },
         "零字节"},
#ifndef _WIN32
        {"a link to nowhere", false,
         [](const fs::path& d) {
             fs::create_symlink(d / "nowhere.txt", d / diaryName());
             return d;
         },
         "链接"},
        {"a pipe in the file's place", false,
         [](const fs::path& d) {
             ::mkfifo((d / diaryName()).c_str(), 0666);
             return d;
         },
         "不是一个普通文件"},
        {"a read-only file", true,
         [](const fs::path& d) {
             writeBytes(d / diaryName(), gbk("旧记录"));
             fs::permissions(d / diaryName(), fs::perms::owner_read | fs::perms::group_read |
                                                  fs::perms::others_read);
             return d;
         },
         "只读"},
        {"a file that cannot be read", true,
         [](const fs::path& d) {
             writeBytes(d / diaryName(), gbk("旧记录"));
             fs::permissions(d / diaryName(), fs::perms::owner_write | fs::perms::group_write |
                                                  fs::perms::others_write);
             return d;
         },
         "无法读取原有的记录文件（没有权限）"},
        {"a folder without write permission", true,
         [](const fs::path& d) {
             writeBytes(d / diaryName(), gbk("旧记录"));
             fs::permissions(d / diaryName(), kEveryone);
             fs::permissions(d, kReadOnly);
             return d;
         },
         "没有权限"},
        {"a folder without write permission, the lock file already there", true,
         [](const fs::path& d) {
             writeBytes(d / diaryName(), gbk("旧记录"));
             fs::path lock = d / diaryName();
             lock += ".lock";
             writeBytes(lock, "");
             fs::permissions(d / diaryName(), kEveryone);
             fs::permissions(d, kReadOnly);
             return d;
         },
         "无法建立临时文件（没有权限）"},
#endif
    };
    TempDir base;
    int n = 0;
    for (const Refusal& c : cases) {
        fs::path caseDir = base.path() / std::to_string(n++);
        makeFolder(caseDir, kEveryone);
        fs::path programDir = c.arrange(caseDir);
        Listing before = listing(caseDir);
#ifdef _WIN32
        EXPECT_EQ(refusedSave(programDir, c.cause), "") << c.name;
#else
        EXPECT_EQ(inChild(c.ordinaryUser, [&] { return refusedSave(programDir, c.cause); }), "")
            << c.name;
#endif
        EXPECT_EQ(listing(caseDir), before) << c.name;
    }
}

// A disk that fills up during the write: the old diary stays whole and no
// half-written file is left behind.
TEST(RecordFileRefused, FullDisk) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a small file system to fill";
#else
    TempDir base;
    fs::path small = base.path() / "small";
    fs::create_directory(small);
    std::string result = inChild(false, [&]() -> std::string {
        // A mount of our own that vanishes with this process.
        if (!ownMountNamespace() ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) {
            return "SKIP";
        }
        std::string old;
        while (old.size() < 40 * 1024)
            old += gbk("》》》》》》2015年1月1日\r\nNo.1：常识判断-25分钟-题量：10\r\n");
        old += gbk("最后一行");
        writeBytes(small / diaryName(), old);
        if (readBytes(small / diaryName()) != old) return "could not prepare the diary";
        Listing before = listing(small);
        std::string wrong = refusedSave(small, "磁盘空间不足");
        if (listing(small) != before) wrong += "; the folder changed";
        return wrong;
    });
    if (result == "SKIP") GTEST_SKIP() << "mounting a small file system is not permitted here";
    EXPECT_EQ(result, "");
#endif
}
