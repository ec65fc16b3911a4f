#include "ObjCmp.h"

#include "Collation.h"
#include "ObjPerst.h"

namespace baslink {
namespace {

std::uint8_t ToCompareCode(int order) {
    return order < 0 ? 1 : (order == 0 ? 0 : 2);
}

}  // namespace

std::uint8_t CompareEqual(const TObject*, const TObject*) {
    return 0;
}

std::uint8_t CompareLess(const TObject*, const TObject*) {
    return 1;
}

std::uint8_t CompareGreater(const TObject*, const TObject*) {
    return 2;
}

std::uint8_t CompareStrings(std::string_view s1, std::string_view s2) {
    return ToCompareCode(platform::Collation::User().Compare(s1, s2));
}

std::uint8_t CompareStringsNoCase(std::string_view s1, std::string_view s2) {
    return ToCompareCode(platform::Collation::User().CompareIgnoringCase(s1, s2));
}

void RegisterStandardCompareFuncs() {
    RegisterCompareFunc("CompareEqual", CompareEqual);
    RegisterCompareFunc("CompareLess", CompareLess);
    RegisterCompareFunc("CompareGreater", CompareGreater);
}

}  // namespace baslink
