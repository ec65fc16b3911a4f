// Every misuse raises its own class with its fixed message, before anything changes.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "ListTestSupport.h"

namespace baslink {
namespace {

using testing::AddNumber;
using testing::CurrentValue;
using testing::ExpectRaises;
using testing::FreeLog;
using testing::TNumber;
using testing::TOther;
using testing::Values;
using Ints = std::vector<int>;

constexpr const char* kInvalidObjectType = "Invalid object type in TContainer";
constexpr const char* kContainerIsEmpty = "TContainer is empty";
constexpr const char* kInvalidIndex = "Invalid index in TContainer";
constexpr const char* kInvalidOccurrence = "Invalid occurrence sought in TContainer";

class TBigNumber : public TNumber {
    BASLINK_CLASS(TBigNumber, TNumber)
    using TNumber::TNumber;
};

template <class List>
class ListMisuse : public ::testing::Test {
protected:
    FreeLog log;  // outlives the list's items
    List list{TNumber::StaticClass(), testing::CompareNumbers};

    // 1, 2, 3 with the cursor on 2.
    void FillOneTwoThree() {
        for (int value : {1, 2, 3}) {
            AddNumber(list, value, &log);
        }
        list.GoTo(2);
    }

    void ExpectUnchanged() {
        EXPECT_EQ(2, CurrentValue(list));
        EXPECT_EQ(3, list.Count());
        EXPECT_EQ(Ints({1, 2, 3}), Values(list));
        EXPECT_TRUE(log.freed.empty());
    }
};

using ListKinds = ::testing::Types<TOrderedList, TUnorderedList, TCircularList>;
TYPED_TEST_SUITE(ListMisuse, ListKinds);

TYPED_TEST(ListMisuse, AddRejectsNoneAndForeignItems) {
    this->FillOneTwoThree();
    ExpectRaises<EInvalidObjectType>([&] { this->list.Add(nullptr); }, kInvalidObjectType);
    TOther foreign;
    ExpectRaises<EInvalidObjectType>([&] { this->list.Add(&foreign); }, kInvalidObjectType);
    this->ExpectUnchanged();

    AddNumber(this->list, 4);
    auto big = std::make_unique<TBigNumber>(5);
    this->list.Add(big.get());  // a derived class is welcome
    big.release();
    EXPECT_EQ(5, this->list.Count());
}

TYPED_TEST(ListMisuse, AListWithoutAnItemClassAcceptsNothing) {
    TypeParam list(nullptr, testing::CompareNumbers);
    TNumber item(1);
    ExpectRaises<EInvalidObjectType>([&] { list.Add(&item); }, kInvalidObjectType);
    EXPECT_TRUE(list.IsEmpty());
}

TYPED_TEST(ListMisuse, SearchAndRemoveCheckTheItemBeforeTheOccurrence) {
    this->FillOneTwoThree();
    TOther foreign;
    TNumber key(3);
    auto& list = this->list;
    ExpectRaises<EInvalidObjectType>([&] { list.Search(&foreign, 0); }, kInvalidObjectType);
    ExpectRaises<EInvalidObjectType>([&] { list.Remove(nullptr, 1); }, kInvalidObjectType);
    ExpectRaises<EInvalidObjectType>([&] { list.Remove(&foreign, 0); }, kInvalidObjectType);
    ExpectRaises<EInvalidOccurrenceSought>([&] { list.Search(&key, 0); }, kInvalidOccurrence);
    ExpectRaises<EInvalidOccurrenceSought>([&] { list.Remove(&key, -1); }, kInvalidOccurrence);
    this->ExpectUnchanged();
}

TYPED_TEST(ListMisuse, CursorOperationsOnAnEmptyListRaiseContainerIsEmpty) {
    auto& list = this->list;
    EXPECT_FALSE(list.First() || list.Last() || list.Next() || list.Prev());
    ExpectRaises<EContainerIsEmpty>([&] { list.GetCurrent(); }, kContainerIsEmpty);
    ExpectRaises<EContainerIsEmpty>([&] { list.ExtractCurrent(); }, kContainerIsEmpty);
    ExpectRaises<EContainerIsEmpty>([&] { list.DeleteCurrent(); }, kContainerIsEmpty);
    auto offered = std::make_unique<TNumber>(1, &this->log);
    ExpectRaises<EContainerIsEmpty>([&] { list.SetCurrent(offered.get()); }, kContainerIsEmpty);
    offered.reset();  // still ours: the failed SetCurrent neither kept nor freed it
    EXPECT_EQ(Ints({1}), this->log.freed);
    this->log.freed.clear();

    this->FillOneTwoThree();
    list.Clear();
    ExpectRaises<EContainerIsEmpty>([&] { list.GetCurrent(); }, kContainerIsEmpty);
}

TYPED_TEST(ListMisuse, IndexesOutsideOneToCountRaiseInvalidIndex) {
    auto& list = this->list;
    ExpectRaises<EInvalidIndex>([&] { list.GoTo(1); }, kInvalidIndex);
    ExpectRaises<EInvalidIndex>([&] { list.GetItem(0); }, kInvalidIndex);

    this->FillOneTwoThree();
    for (int index : {0, 4, -1}) {
        ExpectRaises<EInvalidIndex>([&] { list.GoTo(index); }, kInvalidIndex);
        ExpectRaises<EInvalidIndex>([&] { list.GetItem(index); }, kInvalidIndex);
    }
    this->ExpectUnchanged();
}

std::uint8_t CompareThatThrows(const TObject* item1, const TObject* item2) {
    if (testing::ValueOf(item1) == 99 || testing::ValueOf(item2) == 99) {
        throw std::runtime_error("compare failed");
    }
    return testing::CompareNumbers(item1, item2);
}

TYPED_TEST(ListMisuse, ACompareFunctionThatThrowsLeavesTheListAsItWas) {
    TypeParam list(TNumber::StaticClass(), CompareThatThrows);
    for (int value : {1, 2, 3}) {
        AddNumber(list, value, &this->log);
    }
    list.GoTo(2);
    TNumber key(99);
    EXPECT_THROW(list.Search(&key, 1), std::runtime_error);
    EXPECT_THROW(list.Remove(&key, 1), std::runtime_error);
    if constexpr (std::is_same_v<TypeParam, TOrderedList>) {
        EXPECT_THROW(list.Add(&key), std::runtime_error);  // not taken: `key` stays ours
    }
    EXPECT_EQ(2, CurrentValue(list));
    EXPECT_EQ(Ints({1, 2, 3}), Values(list));
    EXPECT_TRUE(this->log.freed.empty());
}

}  // namespace
}  // namespace baslink
