#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "ListTestSupport.h"
#include "ObjCmp.h"
#include "StreamTestSupport.h"

namespace baslink {
namespace {

using testing::MakeBucket;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr long double kExtendedNaN = std::numeric_limits<long double>::quiet_NaN();

TEST(StringComparers, MapTheCollationOntoTheCompareCodes) {
    struct Row {
        const char* s1;
        const char* s2;
        std::uint8_t expected;
    };
    const Row rows[] = {
        {"abc", "abd", 1}, {"abd", "abc", 2}, {"abc", "abc", 0}, {"", "", 0}, {"", "a", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.s1) + " against " + row.s2);
        EXPECT_EQ(CompareStrings(row.s1, row.s2), row.expected);
        EXPECT_EQ(CompareStringsNoCase(row.s1, row.s2), row.expected);
    }
    // Which of the two comes first is the locale's business; that they differ is not.
    EXPECT_NE(CompareStrings("ABC", "abc"), 0);
    EXPECT_EQ(CompareStringsNoCase("ABC", "abc"), 0);
}

// One row per compare function and edge: the code for (first, second).
struct CompareRow {
    const char* name;
    TCompareFunc compare;
    std::shared_ptr<TObject> first;
    std::shared_ptr<TObject> second;
    std::uint8_t expected;
};

template <class Bucket, class Value>
std::shared_ptr<TObject> B(Value value) {
    return MakeBucket<Bucket>(value);
}

std::shared_ptr<TObject> Combo(const char* text) {
    auto combo = std::make_shared<TStringCombo>();
    combo->Str = text;
    return combo;
}

TEST(BucketCompareFunctions, FollowTheRuleOfTheirType) {
    using std::int64_t;
    constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
    const CompareRow rows[] = {
        {"short ints by sign", CompareShortIntBucket, B<TShortIntBucket>(std::int8_t{-1}),
         B<TShortIntBucket>(std::int8_t{1}), 1},
        {"integers at both ends", CompareIntegerBucket,
         B<TIntegerBucket>(std::numeric_limits<std::int32_t>::min()),
         B<TIntegerBucket>(std::numeric_limits<std::int32_t>::max()), 1},
        {"long ints equal", CompareLongIntBucket, B<TLongIntBucket>(-5), B<TLongIntBucket>(-5), 0},
        {"bytes unsigned", CompareByteBucket, B<TByteBucket>(std::uint8_t{255}),
         B<TByteBucket>(std::uint8_t{1}), 2},
        {"words unsigned", CompareWordBucket, B<TWordBucket>(std::uint16_t{65535}),
         B<TWordBucket>(std::uint16_t{1}), 2},
        {"chars by unsigned code", CompareCharBucket, B<TCharBucket>('\xE9'), B<TCharBucket>('z'),
         2},
        {"Booleans by raw byte", CompareBooleanBucket, B<TBooleanBucket>(std::uint8_t{1}),
         B<TBooleanBucket>(std::uint8_t{2}), 1},
        {"word Booleans, all true alike", CompareWordBoolBucket,
         B<TWordBoolBucket>(std::uint16_t{1}), B<TWordBoolBucket>(std::uint16_t{65535}), 0},
        {"word Booleans, false first", CompareWordBoolBucket, B<TWordBoolBucket>(std::uint16_t{0}),
         B<TWordBoolBucket>(std::uint16_t{256}), 1},
        {"long Booleans, all true alike", CompareLongBoolBucket,
         B<TLongBoolBucket>(std::uint32_t{0x80000000}), B<TLongBoolBucket>(std::uint32_t{1}), 0},
        {"reals ordered", CompareRealBucket, B<TRealBucket>(1.0), B<TRealBucket>(2.0), 1},
        {"real NaN first", CompareRealBucket, B<TRealBucket>(kNaN), B<TRealBucket>(1.0), 2},
        {"real NaN second", CompareRealBucket, B<TRealBucket>(1.0), B<TRealBucket>(kNaN), 2},
        {"date-times equal", CompareDateTimeBucket, B<TDateTimeBucket>(45000.5),
         B<TDateTimeBucket>(45000.5), 0},
        {"date-time NaN", CompareDateTimeBucket, B<TDateTimeBucket>(kNaN), B<TDateTimeBucket>(kNaN),
         2},
        {"singles ordered", CompareSingleBucket, B<TSingleBucket>(0.2f), B<TSingleBucket>(0.1f), 2},
        {"single NaN", CompareSingleBucket, B<TSingleBucket>(1.0f),
         B<TSingleBucket>(std::numeric_limits<float>::quiet_NaN()), 2},
        {"double NaN", CompareDoubleBucket, B<TDoubleBucket>(kNaN), B<TDoubleBucket>(1.0), 2},
        {"extended NaN first", CompareExtendedBucket, B<TExtendedBucket>(kExtendedNaN),
         B<TExtendedBucket>(1.0L), 1},
        {"extended NaN second", CompareExtendedBucket, B<TExtendedBucket>(1.0L),
         B<TExtendedBucket>(kExtendedNaN), 1},
        {"extended beyond double precision", CompareExtendedBucket, B<TExtendedBucket>(1.0L),
         B<TExtendedBucket>(1.0L + std::ldexp(1.0L, -60)), 1},
        {"extended greater", CompareExtendedBucket, B<TExtendedBucket>(2.0L),
         B<TExtendedBucket>(1.0L), 2},
        {"comps at the top", CompareCompBucket, B<TCompBucket>(kMax64 - 1), B<TCompBucket>(kMax64),
         1},
        {"comps at the bottom", CompareCompBucket, B<TCompBucket>(kMin64),
         B<TCompBucket>(kMin64 + 1), 1},
        {"string combos by case", CompareStringCombo, Combo("abc"), Combo("abc"), 0},
        {"string combos ignoring case", CompareStringComboNoCase, Combo("abc"), Combo("ABC"), 0},
    };
    for (const CompareRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.compare(row.first.get(), row.second.get()), row.expected);
    }
    EXPECT_NE(CompareStringCombo(Combo("abc").get(), Combo("ABC").get()), 0);
}

// A user's class below a typed bucket.
class TCounterBucket : public TIntegerBucket {
    BASLINK_CLASS(TCounterBucket, TIntegerBucket)
    using TIntegerBucket::TIntegerBucket;
};

class BucketCompareRegistry : public testing::StartedLibrary {};

TEST_F(BucketCompareRegistry, EveryBucketCompareFunctionRefusesOtherClasses) {
    const auto integer = MakeBucket<TIntegerBucket>(7);
    const auto longInt = MakeBucket<TLongIntBucket>(7);
    testing::ExpectRaises<EInvalidCast>([&] { CompareLongIntBucket(integer.get(), longInt.get()); },
                                        "Object is not of the expected class");
    testing::ExpectRaises<EInvalidCast>([&] { CompareLongIntBucket(longInt.get(), integer.get()); },
                                        "Object is not of the expected class");
    const auto derived = MakeBucket<TCounterBucket>(8);
    EXPECT_EQ(CompareIntegerBucket(integer.get(), derived.get()), 1) << "derived classes pass";

    // All seventeen, through the registry, against a plain bucket and against none.
    const TBucket plain;
    TUnorderedList& funcs = CompareFuncs();
    for (std::int32_t index = 4; index <= funcs.Count(); ++index) {
        const auto& entry = static_cast<const TCompareFuncEntry&>(*funcs.GetItem(index));
        SCOPED_TRACE(entry.Name);
        EXPECT_THROW(entry.Func(&plain, &plain), EInvalidCast);
        EXPECT_THROW(entry.Func(nullptr, nullptr), EInvalidCast);
    }
}

TEST(Buckets, KeepTheirOwnCopyOfTheBytes) {
    std::int32_t source = 41;
    TIntegerBucket bucket(sizeof source, &source);
    source = 99;
    EXPECT_EQ(bucket.GetValue(), 41);
    std::int32_t copy = 0;
    bucket.GetData(&copy);
    EXPECT_EQ(copy, 41);

    const TBucket empty(0, nullptr);
    std::uint8_t untouched = 0xAB;
    empty.GetData(&untouched);
    EXPECT_EQ(untouched, 0xAB);
    EXPECT_EQ(TIntegerBucket(0, nullptr).GetValue(), 0) << "no bytes read as zero";

    const std::uint8_t twoBytes[] = {0x01, 0x02};
    EXPECT_EQ(TIntegerBucket(2, twoBytes).GetValue(), 0x0201) << "missing bytes read as zero";
}

TEST(StringCombos, FreeTheirObjectOnlyWhenTheyOwnIt) {
    testing::FreeLog log;
    auto kept = std::make_unique<testing::TNumber>(1, &log);
    {
        TStringCombo combo;
        combo.Obj = kept.get();
    }
    EXPECT_TRUE(log.freed.empty());
    {
        TStringCombo combo;
        combo.Obj = kept.release();
        combo.OwnsObject = true;
    }
    EXPECT_EQ(log.freed, std::vector<int>{1});
}

}  // namespace
}  // namespace baslink
