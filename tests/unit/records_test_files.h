#pragma once
// Real files for the record tests: a private folder per test, bytes in and out.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

#include "records/file_io.h"
#include "text/gbk.h"

namespace recordtest {

namespace fs = std::filesystem;

inline std::string gbk(std::string_view utf8) {
    return text::utf8ToGbk(utf8);
}
inline std::string utf8(const fs::path& p) {
    return records::io::pathToUtf8(p);
}
inline fs::path path(std::string_view utf8) {
    return records::io::pathFromUtf8(utf8);
}

inline const fs::path& diaryName() {
    static const fs::path name = path("我的做题时间记录.txt");
    return name;
}

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        for (;;) {
            path_ = fs::temp_directory_path() / ("kestrune-records-" + std::to_string(rd()));
            if (fs::create_directory(path_)) break;
        }
        // Others must be able to pass through: some tests run as an ordinary user.
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
    }
    ~TempDir() {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(path_, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

inline std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace recordtest
