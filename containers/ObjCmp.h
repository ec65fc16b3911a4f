#pragma once
// The standard compare functions: three that answer the same code whatever they are
// given, and the two string comparers on which every name-based compare function of the
// library is built.

#include <cstdint>
#include <string_view>

#include "Container.h"

namespace baslink {

std::uint8_t CompareEqual(const TObject* item1, const TObject* item2);    // always 0
std::uint8_t CompareLess(const TObject* item1, const TObject* item2);     // always 1
std::uint8_t CompareGreater(const TObject* item1, const TObject* item2);  // always 2

// 1 when `s1` sorts before `s2`, 0 when they sort alike, 2 when after, by the user's
// collation (not by character codes); the whole of both texts counts.
std::uint8_t CompareStrings(std::string_view s1, std::string_view s2);
// The same with letter case ignored.
std::uint8_t CompareStringsNoCase(std::string_view s1, std::string_view s2);

// Registers the three constant functions under their own names, in the order
// "CompareEqual", "CompareLess", "CompareGreater".
void RegisterStandardCompareFuncs();

}  // namespace baslink
