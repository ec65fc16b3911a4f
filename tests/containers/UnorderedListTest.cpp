#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ListTestSupport.h"

namespace baslink {
namespace {

using testing::AddNumber;
using testing::CurrentValue;
using testing::TNumber;
using testing::Values;
using Ints = std::vector<int>;

template <class List>
class ListOf : public ::testing::Test {
protected:
    testing::FreeLog log;  // outlives the list's items
    List list{TNumber::StaticClass(), testing::CompareNumbers};

    void Fill(std::initializer_list<int> values) {
        for (int value : values) {
            AddNumber(list, value, &log);
        }
    }
};

using UnorderedList = ListOf<TUnorderedList>;
using CircularList = ListOf<TCircularList>;

TEST_F(UnorderedList, AddInsertsRightAfterTheCursor) {
    Fill({1, 2, 3});
    EXPECT_EQ(3, CurrentValue(list));
    EXPECT_EQ(Ints({1, 2, 3}), Values(list));

    list.First();
    AddNumber(list, 9);
    EXPECT_EQ(9, CurrentValue(list));
    EXPECT_EQ(Ints({1, 9, 2, 3}), Values(list));

    list.Last();
    AddNumber(list, 7);  // after the tail: the new tail, linked both ways
    list.Last();
    EXPECT_EQ(7, CurrentValue(list));
    list.Prev();
    EXPECT_EQ(3, CurrentValue(list));
}

TEST_F(UnorderedList, SearchCountsOnlyEqualItems) {
    Fill({1, 2, 1, 3});
    TObject* firstOne = list.GoTo(1);
    TObject* secondOne = list.GoTo(3);

    TNumber key(1);
    EXPECT_TRUE(list.Search(&key, 2));
    EXPECT_EQ(secondOne, list.GetCurrent());
    EXPECT_TRUE(list.Search(&key, 1));
    EXPECT_EQ(firstOne, list.GetCurrent());

    list.Last();
    EXPECT_FALSE(list.Search(&key, 3));
    TNumber absent(0);  // less than everything, where an ordered walk would stop
    EXPECT_FALSE(list.Search(&absent, 1));
    EXPECT_EQ(3, CurrentValue(list));
}

TEST_F(UnorderedList, RemoveTakesTheStoredItemFoundByTheKey) {
    Fill({4, 5, 4});
    TNumber key(4);
    EXPECT_TRUE(list.Remove(&key, 2));
    EXPECT_EQ(Ints({4}), log.freed);  // the stored item, not the key
    EXPECT_EQ(Ints({4, 5}), Values(list));
    EXPECT_FALSE(list.Remove(&key, 2));
    EXPECT_EQ(2, list.Count());
}

TEST(UnorderedListCompare, NoCompareFunctionOrAnOddCodeFindsNothing) {
    TUnorderedList none(TNumber::StaticClass());
    TUnorderedList odd(TNumber::StaticClass(),
                       [](const TObject*, const TObject*) { return std::uint8_t{9}; });
    TNumber key(1);
    for (TUnorderedList* list : {&none, &odd}) {
        AddNumber(*list, 1);
        AddNumber(*list, 2);
        EXPECT_FALSE(list->Search(&key, 1));
        EXPECT_FALSE(list->Remove(&key, 1));
        EXPECT_EQ(2, CurrentValue(*list));
        EXPECT_EQ(2, list->Count());
    }
}

TEST(UnorderedListCompare, TheSoughtItemIsPassedFirst) {
    // Matches a stored item only when the sought one comes first: sought 101 matches 1.
    TUnorderedList list(TNumber::StaticClass(),
                        [](const TObject* item1, const TObject* item2) -> std::uint8_t {
                            return testing::ValueOf(item1) == testing::ValueOf(item2) + 100 ? 0 : 2;
                        });
    AddNumber(list, 101);
    AddNumber(list, 1);
    list.First();
    TNumber key(101);
    EXPECT_TRUE(list.Search(&key, 1));
    EXPECT_EQ(1, CurrentValue(list));
}

TEST_F(CircularList, NextAndPrevWrapAroundTheEnds) {
    EXPECT_FALSE(list.Next());
    EXPECT_FALSE(list.Prev());

    Fill({1, 2, 3});
    EXPECT_TRUE(list.Next());
    EXPECT_EQ(1, CurrentValue(list));
    EXPECT_TRUE(list.Prev());
    EXPECT_EQ(3, CurrentValue(list));
    EXPECT_TRUE(list.Prev());
    EXPECT_EQ(2, CurrentValue(list));

    // Adds and searches as an unordered list; the nodes never form a ring.
    list.First();
    AddNumber(list, 5);
    EXPECT_EQ(Ints({1, 5, 2, 3}), Values(list));
    list.Last();
    EXPECT_EQ(3, testing::ValueOf(std::unique_ptr<TObject>(list.ExtractCurrent()).get()));
    EXPECT_EQ(2, CurrentValue(list));
    TNumber key(5);
    EXPECT_TRUE(list.Search(&key, 1));
    EXPECT_EQ(5, CurrentValue(list));
}

TEST_F(CircularList, ForEachVisitsEachItemOnceHeadToTail) {
    Fill({1, 2, 3});
    list.GoTo(2);
    Ints seen;
    list.ForEach(testing::AppendValue, &seen);
    EXPECT_EQ(Ints({1, 2, 3}), seen);
    EXPECT_EQ(3, CurrentValue(list));

    std::string order;
    list.ForEachMethod(
        [&order](TObject* item, void*) { order += std::to_string(testing::ValueOf(item)); },
        nullptr);
    EXPECT_EQ("123", order);
}

TEST_F(CircularList, WalkingAndDeletingWrapsAtTheTail) {
    Fill({1, 2, 3, 4, 5});
    list.First();
    for (std::int32_t count = list.Count(); count > 0; --count) {
        list.DeleteCurrent();
        list.Next();
    }
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(Ints({1, 3, 5, 2, 4}), log.freed);
}

}  // namespace
}  // namespace baslink
