#pragma once
// Small text helpers shared by the core. Texts are UTF-8 throughout.
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Removes blanks and control characters (<= ' ') at both ends, as the field code expects.
std::string_view Trim(std::string_view s);
inline std::string TrimStr(std::string_view s) { return std::string(Trim(s)); }
std::string_view TrimRight(std::string_view s);

// ASCII-only case folding: names of components are compared without regard to case.
std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

// The bytes of the UTF-8 sequence a lead byte opens: 1 for ASCII and for a byte that opens
// none (a broken text then moves on by one byte).
size_t Utf8Length(unsigned char lead);
// The next code point of a UTF-8 text, moving `i` past it; a broken or cut sequence gives
// U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view s, size_t& i);
// True when the bytes are well-formed UTF-8: no broken or cut sequence, no overlong form,
// surrogate or value beyond U+10FFFF.
bool ValidUtf8(std::string_view s);

// Width in bytes of the text in the Chinese code page: ASCII one, every other character two.
size_t GbkWidth(std::string_view utf8);
// Pads with blanks on the right to `width` GBK bytes; longer texts stay as they are.
std::string PadRight(std::string_view utf8, size_t width);
// The first `bytes` GBK bytes of the text (never splitting a character).
std::string GbkPrefix(std::string_view utf8, size_t bytes);

// A cell of a table written as text: as it is, or in double quotes (inner quotes doubled)
// when it holds one of `specials` (the separator, a quote, a line break), as spreadsheets
// write and read it.
std::string QuotedCell(std::string_view cell, std::string_view specials);

std::vector<std::string> SplitLines(std::string_view text);  // CR LF, LF or CR
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

}  // namespace pelmora
