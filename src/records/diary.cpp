#include "records/diary.h"

#include <algorithm>
#include <memory>

#include "records/log.h"
#include "text/gbk.h"

namespace fs = std::filesystem;

namespace records {
namespace {

constexpr std::size_t kCopyBuffer = 128 * 1024;

constexpr const char* kNotGbk =
    "文件中有零字节，不是GBK（ANSI）编码的文本，可能被编辑器另存成了Unicode（UTF-16）编码；"
    "为了不损坏它，这次没有写入。请用记事本把它另存为ANSI编码后再保存";

}  // namespace

fs::path recordFilePath(const std::string& programFile) {
    return io::pathFromUtf8(programFile).parent_path() / io::pathFromUtf8(kRecordFileName);
}

io::Result appendBlock(const fs::path& diary, std::string_view block) {
    fs::path lockFile = diary;
    lockFile += ".lock";
    io::Lock lock;
    if (io::Result r = lock.acquire(lockFile); !r.ok()) return r;

    fs::path target;
    if (io::Result r = io::resolveLinks(diary, target); !r.ok()) return r;
    io::removeLeftovers(target);
    io::Original old;
    if (io::Result r = old.open(target); !r.ok()) return r;
    if (old.exists() && !old.writable()) return {"记录文件是只读的"};
    io::Replacement next;
    if (io::Result r = next.create(target, old); !r.ok()) return r;

    // The user's bytes go across as they are, a piece at a time: a diary of
    // any size needs no more memory than this.
    auto buffer = std::make_unique_for_overwrite<char[]>(kCopyBuffer);
    bool empty = true;
    for (;;) {
        std::string_view piece;
        if (io::Result r = old.read({buffer.get(), kCopyBuffer}, piece); !r.ok()) return r;
        if (piece.empty()) break;
        // We never write a zero byte: one means another encoding, most likely
        // an editor's UTF-16, and GBK appended to that would be garbage.
        if (piece.find('\0') != std::string_view::npos) return {kNotGbk};
        empty = false;
        if (io::Result r = next.write(piece); !r.ok()) return r;
    }
    old.close();
    std::string tail = empty ? std::string(block) : "\r\n" + std::string(block);
    if (io::Result r = next.write(tail); !r.ok()) return r;
    return next.commit();
}

std::string notSavedMessage(const fs::path& diary, const io::Result& why) {
    return "做题记录没有保存：" + why.failure + "。\r\n记录文件：" + io::pathToUtf8(diary) +
           "\r\n临时记录仍保留在窗口中，没有清空；解决问题后可再点“保存”重试。";
}

void saveLog(Session& s) {
    std::string programFile = s.desktop.programFilePath();
    fs::path diary = recordFilePath(programFile);
    std::string block = text::utf8ToGbk(s.main.编辑框1->text());
    // Keeps the diary readable by the next save, which refuses zero bytes.
    std::replace(block.begin(), block.end(), '\0', '?');

    io::Result saved =
        programFile.empty() ? io::Result{"找不到程序文件所在的文件夹"} : appendBlock(diary, block);
    if (!saved.ok()) {
        s.desktop.showMessage("信息：", notSavedMessage(diary, saved));
        return;
    }
    resetLog(s);
    s.desktop.showMessage("信息：", kSaved);
    s.clock.recordNo = 1;
}

}  // namespace records
