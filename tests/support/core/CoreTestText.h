#pragma once

// Text helpers for the core's suites: UTF-8 literals in, UTF-16 out.

#include <string>
#include <string_view>

namespace tessaly::test {

std::u16string U16(std::string_view utf8);
std::string U8(std::u16string_view utf16);

} // namespace tessaly::test
