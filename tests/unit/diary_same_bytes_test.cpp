// The diary moves between machines and systems: the Linux and the Windows
// build must write the very same file for the same log, under the very same
// name, and refuse a save for the same reason in the same words. Both builds
// compare against the bytes spelled out here, never against a conversion of
// their own, which would agree with itself whatever it did.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake_program.h"
#include "records/diary.h"
#include "records_test_files.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

using fake::Program;
using namespace recordtest;

namespace {

// "我的笔记：申论要多练" and a line break, as the user typed it in Notepad.
const std::string kUserNote =
    "\xce\xd2\xb5\xc4\xb1\xca\xbc\xc7\xa3\xba\xc9\xea\xc2\xdb\xd2\xaa\xb6\xe0\xc1\xb7\r\n";

// The note, then the two saves of DiarySameBytes.TwoSavesOntoAUserNote: GBK,
// CR LF between lines, none at the end.
const std::string kDiary =
    kUserNote +
    "\r\n"
    // 》》》》》》2016年2月24日9时5分3秒
    "\xa1\xb7\xa1\xb7\xa1\xb7\xa1\xb7\xa1\xb7\xa1\xb7"
    "2016\xc4\xea"
    "2\xd4\xc2"
    "24\xc8\xd5"
    "9\xca\xb1"
    "5\xb7\xd6"
    "3\xc3\xeb\r\n"
    // No.1：常识判断-25分钟-题量：10
    "No.1\xa3\xba\xb3\xa3\xca\xb6\xc5\xd0\xb6\xcf-25\xb7\xd6\xd6\xd3-\xcc\xe2\xc1\xbf\xa3\xba"
    "10\r\n"
    // No.2：数量关系-65分钟-题量：二十? (the emoji is not GBK)
    "No.2\xa3\xba\xca\xfd\xc1\xbf\xb9\xd8\xcf\xb5-65\xb7\xd6\xd6\xd3-\xcc\xe2\xc1\xbf\xa3\xba\xb6"
    "\xfe\xca\xae?\r\n"
    // 》》》》》》2016年2月24日10时2分41秒
    "\xa1\xb7\xa1\xb7\xa1\xb7\xa1\xb7\xa1\xb7\xa1\xb7"
    "2016\xc4\xea"
    "2\xd4\xc2"
    "24\xc8\xd5"
    "10\xca\xb1"
    "2\xb7\xd6"
    "41\xc3\xeb\r\n"
    // No.1：常规计时（套卷）-30分钟-题量：１５
    "No.1\xa3\xba\xb3\xa3\xb9\xe6\xbc\xc6\xca\xb1\xa3\xa8\xcc\xd7\xbe\xed\xa3\xa9-30\xb7\xd6\xd6"
    "\xd3-\xcc\xe2\xc1\xbf\xa3\xba\xa3\xb1\xa3\xb5";

// 我的做题时间记录.txt, as the file system holds it: UTF-8 on Linux, UTF-16 on
// Windows.
const char kNameUtf8[] =
    "\xe6\x88\x91\xe7\x9a\x84\xe5\x81\x9a\xe9\xa2\x98\xe6\x97\xb6\xe9\x97\xb4\xe8\xae\xb0\xe5\xbd"
    "\x95.txt";
#ifdef _WIN32
const wchar_t kNameWide[] = L"\u6211\u7684\u505a\u9898\u65f6\u95f4\u8bb0\u5f55.txt";
#endif

// The program in a folder with a Chinese name and a space.
class DiarySameBytes : public ::testing::Test {
  protected:
    DiarySameBytes() {
        fs::create_directory(programDir);
        p.desktop.programFile = utf8(programDir / "kestrune");
        p.start();
    }

    // One record line after counting up from zero.
    void record(int seconds, int section, int pickedCount, const char* typed) {
        p.click(p.w.按钮3);
        p.click(p.w.按钮1);
        p.toolkit.advanceSeconds(seconds);
        p.click(p.w.按钮4);
        fake::as<fake::CheckList>(p.w.选择列表框1).select(section);
        auto& counts = fake::as<fake::ComboBox>(p.w.组合框2);
        if (pickedCount >= 0) counts.pick(pickedCount);
        if (typed != nullptr) counts.type(typed);
        p.click(p.w.按钮5);
    }

    void saveAt(int hour, int minute, int second) {
        p.desktop.clock = {2016, 2, 24, hour, minute, second};
        p.click(p.w.按钮6);
    }

    TempDir dir;
    fs::path programDir = dir.path() / path("公考 练习");
    fs::path diary = programDir / diaryName();
    Program p;
};

}  // namespace

TEST_F(DiarySameBytes, TwoSavesOntoAUserNote) {
    writeBytes(diary, kUserNote);
    record(25 * 60 + 40, 2, 2, nullptr);
    record(3600 + 5 * 60, 4, -1, "二十😀");
    saveAt(10, 2, 41);
    record(30 * 60, 1, -1, "１５");
    saveAt(11, 30, 7);

    ASSERT_EQ(p.desktop.messages.back().text, records::kSaved);
    EXPECT_EQ(readBytes(diary), kDiary);
}

// The name in the folder is the Chinese one for every program, never the
// bytes of some code page shown as gibberish.
TEST_F(DiarySameBytes, TheFileHasItsChineseName) {
    record(60, 0, -1, nullptr);
    saveAt(9, 6, 3);

    std::vector<fs::path::string_type> names;
    for (const auto& entry : fs::directory_iterator(programDir)) {
        names.push_back(entry.path().filename().native());
    }
#ifdef _WIN32
    EXPECT_NE(std::find(names.begin(), names.end(), kNameWide), names.end());

    // Under Wine: the name as Linux programs see it.
    using UnixName = char*(CDECL*)(const wchar_t*);
    FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (found != nullptr) {
        auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(found));
        char* name = unixName(diary.c_str());
        ASSERT_NE(name, nullptr);
        std::string seen = name;
        HeapFree(GetProcessHeap(), 0, name);
        EXPECT_TRUE(seen.ends_with(std::string("/") + kNameUtf8)) << seen;
    }
#else
    EXPECT_NE(std::find(names.begin(), names.end(), kNameUtf8), names.end());
#endif
}

// The same obstacle gets the same explanation on both systems.
TEST_F(DiarySameBytes, RefusalsGiveTheSameReason) {
    const struct {
        const char* obstacle;
        fs::path programDir;
        const char* reason;
    } cases[] = {
        {"a folder in the file's place", programDir,
         "无法读取原有的记录文件（这个位置上是一个文件夹，不是文件）"},
        {"the program's folder is gone", programDir / "gone",
         "无法在记录文件所在的文件夹中建立锁文件（文件夹不存在）"},
    };
    fs::create_directory(diary);
    record(60, 0, -1, nullptr);
    for (const auto& c : cases) {
        p.desktop.programFile = utf8(c.programDir / "kestrune");
        saveAt(9, 6, 3);
        fs::path file = records::recordFilePath(p.desktop.programFile);
        EXPECT_EQ(p.desktop.messages.back().text,
                  records::notSavedMessage(file, records::io::Result{c.reason}))
            << c.obstacle;
    }
}

#ifdef _WIN32
// The read-only attribute is how Windows users protect a file; a save must
// respect it rather than replace the file behind it.
TEST_F(DiarySameBytes, RespectsTheReadOnlyAttribute) {
    writeBytes(diary, kUserNote);
    ASSERT_TRUE(SetFileAttributesW(diary.c_str(), FILE_ATTRIBUTE_READONLY));
    record(60, 0, -1, nullptr);
    std::string log = p.w.编辑框1->text();
    saveAt(9, 6, 3);
    SetFileAttributesW(diary.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_NE(p.desktop.messages.back().text.find("只读"), std::string::npos)
        << p.desktop.messages.back().text;
    EXPECT_EQ(p.w.编辑框1->text(), log);
    EXPECT_EQ(readBytes(diary), kUserNote);
}

// A disk that fills up during the save: the old diary stays whole, nothing
// half-written is left behind, and the reason is the one Linux gives.
TEST_F(DiarySameBytes, AFullDiskKeepsTheOldDiary) {
    const char* small = std::getenv("KESTRUNE_SMALL_DISK");
    if (small == nullptr) {
        GTEST_SKIP()
            << "no small file system to fill (scripts/windows-tests.sh mounts one as root)";
    }
    const fs::path smallDir = path(small);
    struct Emptied {
        fs::path dir;
        ~Emptied() {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(dir, ec)) fs::remove_all(entry, ec);
        }
    } emptied{smallDir};
    fs::path file = smallDir / diaryName();
    std::string old;
    while (old.size() < 40 * 1024) old += kUserNote;
    writeBytes(file, old);
    ASSERT_EQ(readBytes(file), old) << "could not prepare the diary";

    p.desktop.programFile = utf8(smallDir / "kestrune");
    record(60, 0, -1, nullptr);
    std::string log = p.w.编辑框1->text();
    saveAt(9, 6, 3);

    const std::string& said = p.desktop.messages.back().text;
    EXPECT_NE(said.find("没有保存"), std::string::npos) << said;
    EXPECT_NE(said.find("（磁盘空间不足）"), std::string::npos) << said;
    EXPECT_EQ(p.w.编辑框1->text(), log);
    EXPECT_EQ(readBytes(file), old);
    std::vector<fs::path::string_type> names;
    for (const auto& entry : fs::directory_iterator(smallDir)) {
        names.push_back(entry.path().filename().native());
    }
    std::sort(names.begin(), names.end());
    fs::path lock = diaryName();
    lock += ".lock";
    EXPECT_EQ(names, (std::vector<fs::path::string_type>{diaryName().native(), lock.native()}));
}
#endif
