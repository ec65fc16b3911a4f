#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "ObjCmp.h"
#include "StreamTestSupport.h"

namespace baslink {
namespace {

using testing::ExpectRaises;
using Names = std::vector<std::string>;

class Registries : public testing::StartedLibrary {};

template <class Entry>
Names NamesIn(TUnorderedList& registry) {
    Names names;
    for (std::int32_t index = 1; index <= registry.Count(); ++index) {
        names.push_back(static_cast<const Entry&>(*registry.GetItem(index)).Name);
    }
    return names;
}

std::string CurrentName(TUnorderedList& registry) {
    return static_cast<const TCompareFuncEntry&>(*registry.GetCurrent()).Name;
}

std::uint8_t AnotherCompare(const TObject*, const TObject*) {
    return 0;
}

void NoRead(TObject*, TObjectReader&) {}
void NoWrite(TObject*, TObjectWriter&) {}
void OtherWrite(TObject*, TObjectWriter&) {}

TEST_F(Registries, StartUpRegistersEveryClassAndFunctionInOrder) {
    EXPECT_EQ(NamesIn<TStreamableInterface>(StreamableClasses()),
              Names({"TStringCombo",    "TBucket",         "TShortIntBucket", "TIntegerBucket",
                     "TLongIntBucket",  "TByteBucket",     "TWordBucket",     "TCharBucket",
                     "TBooleanBucket",  "TWordBoolBucket", "TLongBoolBucket", "TRealBucket",
                     "TDateTimeBucket", "TSingleBucket",   "TDoubleBucket",   "TExtendedBucket",
                     "TCompBucket",     "TOrderedList",    "TUnorderedList",  "TCircularList",
                     "TBitmap",         "TIcon",           "TMetafile",       "TMemoryStream"}));
    EXPECT_EQ(NamesIn<TCompareFuncEntry>(CompareFuncs()), Names({"CompareEqual",
                                                                 "CompareLess",
                                                                 "CompareGreater",
                                                                 "CompareStringCombo",
                                                                 "CompareStringComboNoCase",
                                                                 "CompareShortIntBucket",
                                                                 "CompareIntegerBucket",
                                                                 "CompareLongIntBucket",
                                                                 "CompareByteBucket",
                                                                 "CompareWordBucket",
                                                                 "CompareCharBucket",
                                                                 "CompareBooleanBucket",
                                                                 "CompareWordBoolBucket",
                                                                 "CompareLongBoolBucket",
                                                                 "CompareRealBucket",
                                                                 "CompareDateTimeBucket",
                                                                 "CompareSingleBucket",
                                                                 "CompareDoubleBucket",
                                                                 "CompareExtendedBucket",
                                                                 "CompareCompBucket"}));
    EXPECT_TRUE(HashFuncs().IsEmpty());

    TUnorderedList& classes = StreamableClasses();
    for (std::int32_t index = 1; index <= classes.Count(); ++index) {
        auto& entry = static_cast<TStreamableInterface&>(*classes.GetItem(index));
        SCOPED_TRACE(entry.Name);
        EXPECT_EQ(entry.ClassRef->Name(), entry.Name);
        EXPECT_TRUE(entry.ClassRef->CanCreate());
        EXPECT_EQ(entry.Version, 1);
        EXPECT_NE(entry.GetReadProc(1), nullptr);
        EXPECT_THROW(entry.GetReadProc(0), EClassVersionNotRegistered);
        EXPECT_THROW(entry.GetWriteProc(2), EClassVersionNotRegistered);
    }
    EXPECT_EQ(GetCompareFunc("CompareGreater"), CompareGreater);
    EXPECT_EQ(GetCompareFunc("CompareSingleBucket"), CompareSingleBucket);
}

TEST_F(Registries, LookupsMatchWholeNamesWithCaseAndMoveTheCursorOnlyWhenTheyFind) {
    EXPECT_EQ(GetRegisteredClass("TBucket"), TBucket::StaticClass());
    EXPECT_EQ(static_cast<TStreamableInterface*>(StreamableClasses().GetCurrent())->Name,
              "TBucket");
    for (const char* name : {"tbucket", "TBucket ", "TBuck", ""}) {
        SCOPED_TRACE(name);
        ExpectRaises<EClassNotRegistered>([&] { GetRegisteredClass(name); },
                                          "Class not registered");
        EXPECT_EQ(static_cast<TStreamableInterface*>(StreamableClasses().GetCurrent())->Name,
                  "TBucket");
    }

    GetCompareFunc("CompareLess");
    ExpectRaises<ECompareFuncNotRegistered>([] { GetCompareFunc("compareless"); },
                                            "Compare function not registered");
    EXPECT_EQ(CurrentName(CompareFuncs()), "CompareLess");
}

TEST_F(Registries, DuplicateNamesAreRefusedAndTheFirstRegistrationStays) {
    ExpectRaises<EDuplicateCompareFunc>([] { RegisterCompareFunc("CompareLess", CompareEqual); },
                                        "Duplicate compare function");
    EXPECT_EQ(CompareFuncs().Count(), 20);
    EXPECT_EQ(GetCompareFunc("CompareLess"), CompareLess);

    ExpectRaises<EDuplicateRegisteredClass>(
        [] { RegisterStreamableClass(TBucket::StaticClass(), {NoRead}, {NoWrite}); },
        "Duplicate registered class");
    EXPECT_EQ(StreamableClasses().Count(), 24);
    EXPECT_EQ(GetStreamableInterface("TBucket").GetReadProc(1), ReadBucket);
}

TEST_F(Registries, ARegistrationGoesInRightAfterTheEntryLastFound) {
    GetCompareFunc("CompareEqual");
    RegisterCompareFunc("AnotherCompare", AnotherCompare);
    const Names names = NamesIn<TCompareFuncEntry>(CompareFuncs());
    EXPECT_EQ(Names(names.begin(), names.begin() + 3),
              Names({"CompareEqual", "AnotherCompare", "CompareLess"}));
}

TEST_F(Registries, AFunctionIsNamedByItsFirstEntryInListOrder) {
    EXPECT_EQ(GetCompareFuncName(CompareIntegerBucket), "CompareIntegerBucket");
    EXPECT_EQ(CurrentName(CompareFuncs()), "CompareIntegerBucket");

    // Registered again after its first entry, the function keeps its first name; placed
    // before it, it takes the new one.
    RegisterCompareFunc("IntegersAgain", CompareIntegerBucket);
    EXPECT_EQ(GetCompareFuncName(CompareIntegerBucket), "CompareIntegerBucket");
    GetCompareFunc("CompareEqual");
    RegisterCompareFunc("IntegersFirst", CompareIntegerBucket);
    EXPECT_EQ(GetCompareFuncName(CompareIntegerBucket), "IntegersFirst");

    ExpectRaises<ECompareFuncNotRegistered>([] { GetCompareFuncName(nullptr); },
                                            "Compare function not registered");
    EXPECT_EQ(CurrentName(CompareFuncs()), "CompareCompBucket") << "the walk ends on the last";

    // Under an empty name first, a function counts as not registered.
    RegisterCompareFunc("", AnotherCompare);
    RegisterCompareFunc("AnotherCompare", AnotherCompare);
    EXPECT_THROW(GetCompareFuncName(AnotherCompare), ECompareFuncNotRegistered);
}

TEST(StreamableInterface, VersionIsTheNumberOfWriteProceduresAndEachListAnswersForItself) {
    TStreamableInterface entry(TBucket::StaticClass(), {NoRead, NoRead},
                               {NoWrite, NoWrite, OtherWrite});
    EXPECT_EQ(entry.Name, "TBucket");
    EXPECT_EQ(entry.Version, 3);
    EXPECT_EQ(entry.GetWriteProc(3), OtherWrite);
    EXPECT_EQ(entry.GetReadProc(2), NoRead);
    ExpectRaises<EClassVersionNotRegistered>([&] { entry.GetReadProc(3); },
                                             "Class version not registered");
}

}  // namespace
}  // namespace baslink
