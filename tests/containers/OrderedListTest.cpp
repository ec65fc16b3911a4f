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
using testing::ValueOf;
using testing::Values;
using Ints = std::vector<int>;

// The driver's request order: never equal, so equal keys go before the stored ones.
std::uint8_t CompareNeverEqual(const TObject* item1, const TObject* item2) {
    return ValueOf(item1) > ValueOf(item2) ? 2 : 1;
}

// Answers an out-of-protocol code where it means "greater".
std::uint8_t CompareWithOddGreater(const TObject* item1, const TObject* item2) {
    const std::uint8_t code = testing::CompareNumbers(item1, item2);
    return code == 2 ? 7 : code;
}

class OrderedList : public ::testing::Test {
protected:
    TOrderedList list{TNumber::StaticClass(), testing::CompareNumbers};

    void Fill(std::initializer_list<int> values) {
        for (int value : values) {
            AddNumber(list, value);
        }
    }
};

TEST_F(OrderedList, AddSortsAndPutsTheNewestOfEqualItemsFirst) {
    AddNumber(list, 5);
    TNumber* olderThree = AddNumber(list, 3);
    AddNumber(list, 4);
    TNumber* newerThree = AddNumber(list, 3);

    EXPECT_EQ(newerThree, list.GetCurrent());
    EXPECT_EQ(Ints({3, 3, 4, 5}), Values(list));
    list.First();
    EXPECT_EQ(newerThree, list.GetCurrent());
    list.Next();
    EXPECT_EQ(olderThree, list.GetCurrent());
}

TEST_F(OrderedList, SearchLandsOnTheNthEqualItemOrLeavesTheCursorAlone) {
    Fill({1, 2, 3, 2});
    TObject* newerTwo = list.GoTo(2);
    TObject* olderTwo = list.GoTo(3);

    TNumber key(2);
    EXPECT_TRUE(list.Search(&key, 1));
    EXPECT_EQ(newerTwo, list.GetCurrent());
    list.Last();
    EXPECT_TRUE(list.Search(&key, 2));
    EXPECT_EQ(olderTwo, list.GetCurrent());

    list.First();
    EXPECT_FALSE(list.Search(&key, 3));  // the walk stops on 3, then the cursor goes back
    EXPECT_EQ(1, CurrentValue(list));
    TNumber absent(9);
    EXPECT_FALSE(list.Search(&absent, 1));  // the walk runs off the tail
    EXPECT_EQ(1, CurrentValue(list));
}

TEST(OrderedListCompare, UnusualCompareFunctions) {
    TOrderedList neverEqual(TNumber::StaticClass(), CompareNeverEqual);
    TNumber* first = AddNumber(neverEqual, 4);
    AddNumber(neverEqual, 9);
    TNumber* second = AddNumber(neverEqual, 4);
    EXPECT_EQ(second, neverEqual.GoTo(1));
    EXPECT_EQ(first, neverEqual.GoTo(2));
    TNumber key(4);
    EXPECT_FALSE(neverEqual.Search(&key, 1));
    EXPECT_FALSE(neverEqual.Remove(&key, 1));
    EXPECT_EQ(first, neverEqual.GetCurrent());
    EXPECT_EQ(3, neverEqual.Count());

    TOrderedList oddGreater(TNumber::StaticClass(), CompareWithOddGreater);
    for (int value : {5, 1, 3, 2, 4}) {
        AddNumber(oddGreater, value);
    }
    EXPECT_EQ(Ints({1, 2, 3, 4, 5}), Values(oddGreater));

    TOrderedList none(TNumber::StaticClass());  // appends, finds nothing
    for (int value : {3, 1, 2}) {
        AddNumber(none, value);
    }
    EXPECT_EQ(Ints({3, 1, 2}), Values(none));
    none.First();
    TNumber one(1);
    EXPECT_FALSE(none.Search(&one, 1));
    EXPECT_FALSE(none.Remove(&one, 1));
    EXPECT_EQ(3, CurrentValue(none));
    EXPECT_EQ(3, none.Count());
}

TEST_F(OrderedList, ExtractCurrentMovesTheCursorToTheFollowerOrTheNewTail) {
    Fill({1, 2, 3, 4, 5});
    auto extractAt = [this](int index) {
        list.GoTo(index);
        return ValueOf(std::unique_ptr<TObject>(list.ExtractCurrent()).get());
    };
    EXPECT_EQ(3, extractAt(3));  // middle: its successor
    EXPECT_EQ(4, CurrentValue(list));
    EXPECT_EQ(1, extractAt(1));  // head: the new head
    EXPECT_EQ(2, CurrentValue(list));
    EXPECT_EQ(5, extractAt(3));  // tail: the new tail
    EXPECT_EQ(4, CurrentValue(list));
    EXPECT_EQ(Ints({2, 4}), Values(list));
    EXPECT_FALSE(list.Next());  // stays on the tail
    EXPECT_EQ(4, CurrentValue(list));
    list.First();
    EXPECT_FALSE(list.Prev());  // stays on the head
    EXPECT_EQ(2, CurrentValue(list));

    extractAt(1);
    extractAt(1);  // the only item
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_FALSE(list.First());
    EXPECT_THROW(list.GetCurrent(), EContainerIsEmpty);
}

TEST_F(OrderedList, WalkingAndDeletingVisitsOneThreeFiveFourTwo) {
    Fill({1, 2, 3, 4, 5});
    Ints visited;
    list.First();
    for (std::int32_t count = list.Count(); count > 0; --count) {
        visited.push_back(CurrentValue(list));
        list.DeleteCurrent();
        list.Next();
    }
    EXPECT_EQ(Ints({1, 3, 5, 4, 2}), visited);
    EXPECT_TRUE(list.IsEmpty());
}

// Records the cursor moves that GoTo makes through the virtual operations.
class TCountingList : public TOrderedList {
    BASLINK_CLASS(TCountingList, TOrderedList)

    TCountingList() : TOrderedList(TNumber::StaticClass(), testing::CompareNumbers) {}
    bool First() override { return Record('F', TOrderedList::First()); }
    bool Last() override { return Record('L', TOrderedList::Last()); }
    bool Next() override { return Record('n', TOrderedList::Next()); }
    bool Prev() override { return Record('p', TOrderedList::Prev()); }

    std::string moves;

private:
    bool Record(char move, bool moved) {
        moves += move;
        return moved;
    }
};

TEST(OrderedListGoTo, WalksFromTheHeadOnlyBelowHalfTheCount) {
    TCountingList five;
    for (int value : {1, 2, 3, 4, 5}) {
        AddNumber(five, value);
    }
    const char* expectedMoves[] = {"F", "Lppp", "Lpp", "Lp", "L"};
    for (int index = 1; index <= 5; ++index) {
        five.moves.clear();
        EXPECT_EQ(index, ValueOf(five.GoTo(index)));
        EXPECT_EQ(index, CurrentValue(five));
        EXPECT_EQ(expectedMoves[index - 1], five.moves) << "index " << index;
    }

    TCountingList four;
    for (int value : {1, 2, 3, 4}) {
        AddNumber(four, value);
    }
    four.moves.clear();
    EXPECT_EQ(2, ValueOf(four.GetItem(2)));
    EXPECT_EQ("Lpp", four.moves);
}

TEST_F(OrderedList, ForEachVisitsHeadToTailAndEndsOnTheTail) {
    Ints seen;
    list.ForEach(testing::AppendValue, &seen);  // empty: nothing to visit
    EXPECT_TRUE(seen.empty());

    Fill({2, 3, 1});
    list.ForEach(testing::AppendValue, &seen);
    EXPECT_EQ(Ints({1, 2, 3}), seen);
    EXPECT_EQ(3, CurrentValue(list));

    std::vector<void*> args;
    int marker = 0;
    list.First();
    list.ForEachMethod([&args](TObject*, void* arg) { args.push_back(arg); }, &marker);
    EXPECT_EQ(std::vector<void*>(3, &marker), args);
    EXPECT_EQ(3, CurrentValue(list));

    list.First();
    list.ForEach(nullptr, nullptr);  // no callback: nothing runs, nothing moves
    list.ForEachMethod(TForEachMethod(), nullptr);
    EXPECT_EQ(1, CurrentValue(list));
}

}  // namespace
}  // namespace baslink
