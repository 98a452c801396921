#pragma once
// The record file beside the program: the user's practice diary, one block
// per save, in GBK. It only ever grows, and a save is whole or not at all.

#include <filesystem>
#include <string>
#include <string_view>

#include "clock/session.h"
#include "records/file_io.h"

namespace records {

inline constexpr const char* kRecordFileName = "我的做题时间记录.txt";
inline constexpr const char* kSaved =
    "临时记录被清空，时间已被记录到TXT文档，可到软件所在目录下查询";

// "我的做题时间记录.txt" in the directory of the program file (UTF-8 path).
std::filesystem::path recordFilePath(const std::string& programFile);

// Adds one block (GBK bytes) to the end of the diary, after CR LF unless the
// diary is missing or empty. The bytes already there are kept exactly. Holds
// a lock beside the diary from the read to the replace, so that copies of the
// program saving at the same moment never lose each other's block.
io::Result appendBlock(const std::filesystem::path& diary, std::string_view block);

// The message for a save that did not happen.
std::string notSavedMessage(const std::filesystem::path& diary, const io::Result& why);

// 按钮6: the log goes to the diary and a new log begins. A save that fails
// says why and keeps the log, recordNo and every control as they were.
void saveLog(Session& s);

}  // namespace records
