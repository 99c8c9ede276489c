#pragma once
// Windows-1252 <-> UTF-8 through one fixed table, the same on every system (iconv's result
// depends on the locale). One byte per character; a character that Windows-1252 lacks, or a
// malformed UTF-8 sequence, becomes '?'.

#include <string>
#include <string_view>

namespace Cp1252 {
std::string fromUtf8(std::string_view utf8);
std::string toUtf8(std::string_view cp1252);
// The Unicode code point of one Windows-1252 byte. The five bytes that the code page leaves
// undefined (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 controls of the same value, as Windows does.
char32_t toUnicode(unsigned char byte);
} // namespace Cp1252
