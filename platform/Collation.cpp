#include "Collation.h"

#include <wchar.h>

#include <algorithm>
#include <string>

#include "Windows1252.h"

namespace baslink::platform {
namespace {

// The collation functions take wide text whatever the locale's own encoding is, so the
// 8-bit text is widened through its code page first.
std::wstring Widen(std::string_view text) {
    const std::u16string utf16 = text::Windows1252ToUtf16(text);
    return std::wstring(utf16.begin(), utf16.end());
}

// Lower case for every letter the code page holds.
wchar_t LowerCase(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;
    }
    switch (c) {
        case 0x0160:  // S with caron
        case 0x0152:  // OE ligature
        case 0x017D:  // Z with caron
            return c + 1;
        case 0x0178:  // Y with diaeresis
            return 0x00FF;
        default:
            return c;
    }
}

std::wstring WidenInLowerCase(std::string_view text) {
    std::wstring wide = Widen(text);
    std::transform(wide.begin(), wide.end(), wide.begin(), LowerCase);
    return wide;
}

// The texts are compared a NUL-separated piece at a time, since the collation functions
// stop at the first NUL.
int CompareWide(const std::wstring& a, const std::wstring& b, locale_t locale) {
    std::size_t startA = 0;
    std::size_t startB = 0;
    for (;;) {
        const int order = wcscoll_l(a.c_str() + startA, b.c_str() + startB, locale);
        if (order != 0) {
            return order;
        }
        const std::size_t endA = a.find(L'\0', startA);
        const std::size_t endB = b.find(L'\0', startB);
        if (endA == std::wstring::npos || endB == std::wstring::npos) {
            return (endA == std::wstring::npos ? 0 : 1) - (endB == std::wstring::npos ? 0 : 1);
        }
        startA = endA + 1;
        startB = endB + 1;
    }
}

}  // namespace

Collation::Collation(const char* localeName)
    : locale_(newlocale(LC_COLLATE_MASK, localeName, nullptr)) {
    if (locale_ == nullptr) {
        locale_ = newlocale(LC_COLLATE_MASK, "C", nullptr);
    }
}

Collation::~Collation() {
    freelocale(locale_);
}

int Collation::Compare(std::string_view a, std::string_view b) const {
    return CompareWide(Widen(a), Widen(b), locale_);
}

int Collation::CompareIgnoringCase(std::string_view a, std::string_view b) const {
    return CompareWide(WidenInLowerCase(a), WidenInLowerCase(b), locale_);
}

const Collation& Collation::User() {
    // Released with the other static objects when the library is unloaded or the process
    // ends; freeing the registries then compares nothing.
    static const Collation user("");
    return user;
}

}  // namespace baslink::platform
