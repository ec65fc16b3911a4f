#include "Collation.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// glibc's newlocale keeps the list it splits LOCPATH into; only this test sets LOCPATH.
// The allocating frame is __argz_add_sep where the C library's debug symbols are
// installed, and its exported alias argz_add_sep where they are not: both names, each
// matched whole, so no other allocation of the C library is excused.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:^__argz_add_sep$\n"
           "leak:^argz_add_sep$\n";
}

namespace {

using baslink::platform::Collation;

int Sign(int order) {
    return (order > 0) - (order < 0);
}

TEST(CollationTest, TheCLocaleSortsByCharacterCodeOverTheWholeText) {
    const Collation collation("C");
    struct Row {
        const char* name;
        std::string a;
        std::string b;
        int expected;
    };
    const Row rows[] = {
        {"last letter less", "abc", "abd", -1},
        {"last letter greater", "abd", "abc", 1},
        {"same text", "abc", "abc", 0},
        {"two empty texts", "", "", 0},
        {"empty before anything", "", "a", -1},
        {"capitals before small letters", "ABC", "abc", -1},
        {"text after a NUL counts", std::string("a\0b", 3), std::string("a\0c", 3), -1},
        {"a trailing NUL makes it longer", "a", std::string("a\0", 2), -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Sign(collation.Compare(row.a, row.b)), row.expected);
    }
}

TEST(CollationTest, IgnoringCaseFoldsEveryLetterOfTheCodePage) {
    const Collation collation("C");
    for (const auto& [upper, lower] : {std::pair{"ABC", "abc"},
                                       {"\xC9", "\xE9"},     // E acute
                                       {"\x8A", "\x9A"},     // S caron
                                       {"\x8C", "\x9C"},     // OE
                                       {"\x9F", "\xFF"}}) {  // Y diaeresis
        SCOPED_TRACE(upper);
        EXPECT_EQ(collation.CompareIgnoringCase(upper, lower), 0);
        EXPECT_NE(collation.Compare(upper, lower), 0);
    }
    EXPECT_NE(collation.CompareIgnoringCase("\xD7", "\xF7"), 0)
        << "times and divide are no letters";
    EXPECT_LT(collation.CompareIgnoringCase("abc", "ABD"), 0);
}

TEST(CollationTest, UnknownLocaleLeavesCharacterCodeOrder) {
    EXPECT_LT(Collation("xx_NOWHERE.UTF-8").Compare("B", "a"), 0);
}

// A language's order, from a locale compiled into a temporary folder and found through
// LOCPATH, so that the machine needs no locale of its own beyond the C ones.
TEST(CollationTest, TheUserCollationFollowsTheEnvironment) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("collation-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string command =
        "localedef -i en_US -f UTF-8 '" + (folder / "en_US.UTF-8").string() + "' >/dev/null 2>&1";
    std::system(command.c_str());
    ASSERT_TRUE(std::filesystem::exists(folder / "en_US.UTF-8" / "LC_COLLATE"))
        << "localedef (package locales) could not build en_US.UTF-8";
    setenv("LOCPATH", folder.c_str(), 1);
    setenv("LC_ALL", "en_US.UTF-8", 1);

    const Collation& user = Collation::User();
    EXPECT_LT(user.Compare("a", "B"), 0) << "letters before case";
    EXPECT_LT(user.Compare("\xE9", "f"), 0) << "e acute sorts with e";
    EXPECT_LT(user.Compare("abc", "ABC"), 0);
    EXPECT_EQ(user.CompareIgnoringCase("abc", "ABC"), 0);
    EXPECT_GT(Collation("C").Compare("a", "B"), 0) << "while the codes say otherwise";

    std::filesystem::remove_all(folder);
}

}  // namespace
