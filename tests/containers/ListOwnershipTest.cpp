#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ListTestSupport.h"

namespace baslink {
namespace {

using testing::AddNumber;
using testing::CurrentValue;
using testing::FreeLog;
using testing::TNumber;
using Ints = std::vector<int>;

class ListOwnership : public ::testing::Test {
protected:
    FreeLog log;  // outlives the lists' items
    TOrderedList list{TNumber::StaticClass(), testing::CompareNumbers};

    void Fill(std::initializer_list<int> values) {
        for (int value : values) {
            AddNumber(list, value, &log);
        }
    }
};

TEST_F(ListOwnership, OwningListFreesWhatItDeletesRemovesOrClears) {
    Fill({1, 2, 3, 4, 5});
    list.GoTo(2);
    list.DeleteCurrent();
    EXPECT_EQ(Ints({2}), log.freed);

    TNumber key(4);
    EXPECT_TRUE(list.Remove(&key, 1));
    EXPECT_EQ(Ints({2, 4}), log.freed);

    list.Clear();
    EXPECT_EQ(Ints({2, 4, 1, 3, 5}), log.freed);  // head to tail
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(list.Last());

    Fill({7});  // a cleared list is used again
    EXPECT_EQ(7, CurrentValue(list));
}

TEST_F(ListOwnership, DestroyingAListFreesItsItemsHeadToTail) {
    {
        TUnorderedList scoped(TNumber::StaticClass());
        for (int value : {3, 1, 2}) {
            AddNumber(scoped, value, &log);
        }
    }
    EXPECT_EQ(Ints({3, 1, 2}), log.freed);
}

TEST_F(ListOwnership, ExtractCurrentHandsTheItemOverWithoutFreeing) {
    Fill({1, 2});
    std::unique_ptr<TObject> taken(list.ExtractCurrent());
    EXPECT_EQ(2, testing::ValueOf(taken.get()));
    EXPECT_TRUE(log.freed.empty());
    EXPECT_EQ(1, list.Count());
}

TEST_F(ListOwnership, SetCurrentFreesTheReplacedItemAndKeepsTheNewOne) {
    Fill({1, 2, 3});
    list.GoTo(2);
    auto replacement = std::make_unique<TNumber>(20, &log);
    list.SetCurrent(replacement.get());
    TNumber* kept = replacement.release();
    EXPECT_EQ(Ints({2}), log.freed);
    EXPECT_EQ(kept, list.GetCurrent());
    EXPECT_EQ(3, list.Count());

    list.SetCurrent(kept);  // the very item it holds: must not be freed
    EXPECT_EQ(Ints({2}), log.freed);
    EXPECT_EQ(20, CurrentValue(list));  // still alive (ASan would object otherwise)

    // No re-sorting: 20 stays in the middle.
    list.Clear();
    EXPECT_EQ(Ints({2, 1, 20, 3}), log.freed);
}

TEST_F(ListOwnership, NonOwningListFreesNothing) {
    std::vector<std::unique_ptr<TNumber>> keeper;
    for (int value : {1, 2, 3, 4}) {
        keeper.push_back(std::make_unique<TNumber>(value, &log));
        list.Add(keeper.back().get());
    }
    list.SetOwnsItems(false);
    EXPECT_FALSE(list.GetOwnsItems());

    list.First();
    list.DeleteCurrent();
    TNumber key(2);
    EXPECT_TRUE(list.Remove(&key, 1));
    TNumber other(9);
    list.SetCurrent(&other);
    list.SetCurrent(keeper[3].get());
    list.Clear();
    EXPECT_TRUE(log.freed.empty());

    {
        TCircularList scoped(TNumber::StaticClass());
        scoped.SetOwnsItems(false);
        scoped.Add(keeper[0].get());
    }
    EXPECT_TRUE(log.freed.empty());

    // Turned back on, it frees again.
    list.SetOwnsItems(true);
    list.Add(keeper[0].release());
    list.Clear();
    EXPECT_EQ(Ints({1}), log.freed);
}

TEST(NodeOwnership, ANodeFreesTheItemItStillHolds) {
    FreeLog log;
    {
        TListNode node;
        node.Item = new TNumber(8, &log);  // the node owns it from here
    }
    EXPECT_EQ(Ints({8}), log.freed);
}

}  // namespace
}  // namespace baslink
