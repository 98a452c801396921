// A copy of the program that saves, for the tests that need other processes:
// it records one line and saves, block after block, through the real
// handlers on the fake backend.
//
//   diary_saver <program file> <tag> <first> <count>
//
// Block i reads "》》》》》》2016年2月24日9时5分3秒\r\nNo.1：常规计时（单项）-<i>分钟-题量：<tag>".
// Exit status 0 when every save said it saved, 1 otherwise.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_program.h"
#include "records/diary.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: diary_saver <program file> <tag> <first> <count>\n");
        return 2;
    }
    fake::Program p;
    p.desktop.programFile = argv[1];
    p.start();
    p.click(p.w.按钮1);
    p.toolkit.advanceSeconds(1);
    p.click(p.w.按钮4);
    fake::as<fake::ComboBox>(p.w.组合框2).type(argv[2]);
    long first = std::strtol(argv[3], nullptr, 10);
    long count = std::strtol(argv[4], nullptr, 10);
    for (long i = first; i < first + count; ++i) {
        // The clock stands still while paused; the minutes name the block.
        p.clock.hours = 0;
        p.clock.minutes = static_cast<std::int32_t>(i);
        p.click(p.w.按钮5);
        p.click(p.w.按钮6);
        const std::string& said = p.desktop.messages.back().text;
        if (said != records::kSaved) {
            std::fprintf(stderr, "block %ld: %s\n", i, said.c_str());
            return 1;
        }
    }
    return 0;
}
