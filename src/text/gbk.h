#pragma once
// The GBK (code page 936) boundary: UTF-8 inside the program, GBK where bytes
// matter (the record file, the folding of typed numbers).

#include <string>
#include <string_view>

namespace text {

// A character that GBK cannot hold becomes '?'; malformed UTF-8 too.
std::string utf8ToGbk(std::string_view utf8);

// A byte sequence that is not GBK becomes '?' per bad byte.
std::string gbkToUtf8(std::string_view gbk);

}  // namespace text
