#pragma once
// Text of the system's files and of the bus is 8-bit Windows-1252; the windows work in
// Unicode. These two conversions sit at that edge, with a table of our own.

#include <string>
#include <string_view>

namespace baslink::text {

// Every byte has a character: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value,
// so bytes survive a round trip unchanged.
std::u16string Windows1252ToUtf16(std::string_view bytes);

// Characters outside the code page become '?'; a surrogate pair counts as one character.
std::string Utf16ToWindows1252(std::u16string_view text);

// The same text as UTF-8; every byte has a character, so nothing is lost.
std::string Windows1252ToUtf8(std::string_view bytes);

// Characters outside the code page become '?', and so does each byte that does not start
// a well-formed sequence (overlong forms and encoded surrogates included).
std::string Utf8ToWindows1252(std::string_view utf8);

}  // namespace baslink::text
