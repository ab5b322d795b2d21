#pragma once
// Windows-1252 <-> UTF-8.  Every file the program reads or writes is
// Windows-1252 on disk; inside the program all text is UTF-8.  This is the
// only place where the two meet.
//
// All 256 byte values map to a code point: the five codes that Windows-1252
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// characters of the same value, so any byte string survives a round trip.

#include <string>
#include <string_view>

namespace corvane {

// Code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

// Every byte becomes its code point in UTF-8.  Never fails.
std::string Cp1252ToUtf8(std::string_view bytes);

// Code points outside Windows-1252, and malformed UTF-8, become '?'.
// `lossless`, when given, is set to false if that happened.
std::string Utf8ToCp1252(std::string_view utf8, bool* lossless = nullptr);

// Whether a code point has a Windows-1252 byte.
bool IsCp1252(char32_t cp);

// The text of a one-line field of a data file: TAB, CR and LF become
// blanks (they would break the line format) and characters without a
// Windows-1252 byte are dropped.
std::string DataFieldText(std::string_view utf8);

// Appends the UTF-8 form of a code point (invalid ones as U+FFFD).
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the code point at `pos` and advances `pos` past it.  A malformed
// or truncated sequence yields U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

// Whether the bytes are well-formed UTF-8: no stray continuation byte, no
// truncated or overlong sequence, no surrogate, nothing above U+10FFFF.
bool IsWellFormedUtf8(std::string_view bytes);

}  // namespace corvane
