#pragma once
// Locale-aware comparison of the system's 8-bit Windows-1252 texts: the order in which the
// user's language sorts words, not the order of character codes.

#include <locale.h>

#include <string_view>

namespace baslink::platform {

class Collation {
public:
    // The collation of the named locale; "" takes the environment's (LC_ALL, LC_COLLATE,
    // then LANG). A locale that cannot be loaded leaves character-code order.
    explicit Collation(const char* localeName);
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // Negative when `a` sorts before `b`, 0 when they sort alike, positive when after. The
    // whole of each text counts, NUL characters included.
    int Compare(std::string_view a, std::string_view b) const;
    // The same with letter case ignored.
    int CompareIgnoringCase(std::string_view a, std::string_view b) const;

    // The user's collation, taken from the environment at its first use and kept until the
    // program ends or unloads the library.
    static const Collation& User();

private:
    locale_t locale_;
};

}  // namespace baslink::platform
