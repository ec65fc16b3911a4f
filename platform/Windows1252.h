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

}  // namespace baslink::text
