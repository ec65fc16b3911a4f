#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"
#include "ListTestSupport.h"
#include "StreamTestSupport.h"

namespace baslink {
namespace {

using testing::Bytes;
using testing::IntegerList;
using testing::kWorkedExample;
using testing::MakeBucket;
using testing::ReadBack;
using testing::Record;
using testing::ShortString;
using testing::StreamOf;
using testing::Written;
using Ints = std::vector<int>;

class ObjectStream : public testing::StartedLibrary {};

// The item values of a list of integer buckets, first to last.
Ints ValuesIn(TObject& obj) {
    auto& list = CheckedCast<TOrderedList>(&obj);
    Ints values;
    list.First();
    for (std::int32_t i = 0; i < list.Count(); ++i, list.Next()) {
        values.push_back(CheckedCast<TIntegerBucket>(list.GetCurrent()).GetValue());
    }
    return values;
}

std::size_t RecordsIn(const std::string& bytes) {
    std::size_t records = 0;
    for (auto at = bytes.find("TPF0"); at != std::string::npos; at = bytes.find("TPF0", at + 1)) {
        ++records;
    }
    return records;
}

const std::string kIntegerListHeader =
    ShortString("TIntegerBucket") + ShortString("CompareIntegerBucket");

TEST_F(ObjectStream, TheWorkedExampleBothWays) {
    EXPECT_EQ(Written(MakeBucket<TIntegerBucket>(1).get()), kWorkedExample);

    const auto stream = StreamOf(kWorkedExample + "next record");
    TObjectStream objects(*stream);
    const std::unique_ptr<TObject> read = ReadObject(objects);
    EXPECT_EQ(CheckedCast<TIntegerBucket>(read.get()).GetValue(), 1);
    EXPECT_EQ(CheckedCast<TIntegerBucket>(read.get()).GetSize(), 4);
    EXPECT_EQ(stream->GetPosition(), 28) << "just after the record's last byte";
    EXPECT_EQ(objects.Depth, 0);
    EXPECT_EQ(objects.Reader, nullptr);
}

TEST_F(ObjectStream, ListsComeBackWithTheirKindItemClassAndCompareFunction) {
    struct Row {
        const char* name;
        std::unique_ptr<TOrderedList> list;
        Ints expected;
    };
    Row rows[] = {
        {"TUnorderedList", IntegerList<TUnorderedList>({3, 1, 2}), {3, 1, 2}},
        {"TOrderedList", IntegerList<TOrderedList>({3, 1, 2}), {1, 2, 3}},
        {"TCircularList", IntegerList<TCircularList>({3, 1, 2}), {3, 1, 2}},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.list->First();
        const std::string bytes = Written(row.list.get());
        EXPECT_EQ(bytes.substr(0, Record(row.name, kIntegerListHeader).size() + 2),
                  Record(row.name, kIntegerListHeader) + Bytes({2, 3}));
        EXPECT_EQ(RecordsIn(bytes), 4u) << "the list and exactly its three items";
        EXPECT_EQ(CheckedCast<TIntegerBucket>(row.list->GetCurrent()).GetValue(),
                  row.expected.back())
            << "the cursor ends on the last item";

        const std::unique_ptr<TObject> read = ReadBack(bytes);
        auto& list = CheckedCast<TOrderedList>(read.get());
        EXPECT_EQ(list.ClassName(), row.name);
        EXPECT_EQ(list.GetItemClass(), TIntegerBucket::StaticClass());
        EXPECT_EQ(list.GetCompareFunc(), CompareIntegerBucket);
        EXPECT_TRUE(list.GetOwnsItems());
        EXPECT_EQ(ValuesIn(list), row.expected);
    }
}

TEST_F(ObjectStream, AnOrderedListSortsWhatItReadsAndPutsTheLaterOfEqualItemsFirst) {
    const auto unordered = IntegerList<TUnorderedList>({3, 1, 2});
    const std::string payload =
        Written(unordered.get()).substr(Record("TUnorderedList", "").size());
    EXPECT_EQ(ValuesIn(*ReadBack(Record("TOrderedList", payload))), Ints({1, 2, 3}));

    // Word Booleans 1 and 65535 compare equal.
    const std::string trueOne = Record("TWordBoolBucket", Bytes({2, 2, 1, 0}));
    const std::string trueAll = Record("TWordBoolBucket", Bytes({2, 2, 0xFF, 0xFF}));
    const std::string ordered = Record("TOrderedList", ShortString("TWordBoolBucket") +
                                                           ShortString("CompareWordBoolBucket") +
                                                           Bytes({2, 2}) + trueOne + trueAll);
    const std::unique_ptr<TObject> read = ReadBack(ordered);
    auto& list = CheckedCast<TOrderedList>(read.get());
    list.First();
    EXPECT_EQ(CheckedCast<TBucket>(list.GetCurrent()).LeadingValue<std::uint16_t>(), 0xFFFF);
}

TEST_F(ObjectStream, AnEmptyListIsItsTwoNamesAndACountOfZero) {
    const auto empty = IntegerList<TUnorderedList>({});
    const std::string bytes = Written(empty.get());
    EXPECT_EQ(bytes, Record("TUnorderedList", kIntegerListHeader + Bytes({2, 0})));
    EXPECT_TRUE(CheckedCast<TUnorderedList>(ReadBack(bytes).get()).IsEmpty());
}

TEST_F(ObjectStream, StringCombosCarryTheirObjectAndOwnItWhenRead) {
    TStringCombo alone;
    alone.Str = "abc";
    const std::string aloneBytes = Written(&alone);
    EXPECT_EQ(aloneBytes, Record("TStringCombo", ShortString("abc") + Bytes({8})));
    const std::unique_ptr<TObject> aloneRead = ReadBack(aloneBytes);
    EXPECT_EQ(CheckedCast<TStringCombo>(aloneRead.get()).Obj, nullptr);
    EXPECT_TRUE(CheckedCast<TStringCombo>(aloneRead.get()).OwnsObject);

    TStringCombo paired;
    paired.Str = "Descripci\xF3n";
    paired.Obj = MakeBucket<TIntegerBucket>(1).release();
    paired.OwnsObject = true;
    const std::string pairedBytes = Written(&paired);
    EXPECT_EQ(pairedBytes, Record("TStringCombo", Bytes({20, 12, 0, 0, 0}) + "Descripción" +
                                                      Bytes({9}) + kWorkedExample));
    const std::unique_ptr<TObject> pairedRead = ReadBack(pairedBytes);
    const auto& combo = CheckedCast<TStringCombo>(pairedRead.get());
    EXPECT_EQ(combo.Str, "Descripci\xF3n");
    EXPECT_TRUE(combo.OwnsObject);
    EXPECT_EQ(CheckedCast<TIntegerBucket>(combo.Obj).GetValue(), 1);
}

TEST_F(ObjectStream, BucketsOfAnySizeKeepTheirBytes) {
    const TBucket empty(0, nullptr);
    EXPECT_EQ(Written(const_cast<TBucket*>(&empty)), Record("TBucket", Bytes({2, 0})));
    EXPECT_EQ(CheckedCast<TBucket>(ReadBack(Record("TBucket", Bytes({2, 0}))).get()).GetSize(), 0);

    const std::string block(300, '\x5A');
    TBucket large(300, block.data());
    const std::string bytes = Written(&large);
    EXPECT_EQ(bytes, Record("TBucket", Bytes({3, 0x2C, 0x01}) + block));
    std::string readBack(300, '\0');
    CheckedCast<TBucket>(ReadBack(bytes).get()).GetData(readBack.data());
    EXPECT_EQ(readBack, block);
}

TEST_F(ObjectStream, GraphicsAndMemoryStreamsAreTheirLengthAndTheirBytes) {
    TIcon icon;
    icon.SetData({1, 2, 3});
    const std::string iconBytes = Written(&icon);
    EXPECT_EQ(iconBytes, Record("TIcon", Bytes({2, 3, 1, 2, 3})));
    const std::unique_ptr<TObject> iconRead = ReadBack(iconBytes);
    EXPECT_EQ(iconRead->ClassType(), TIcon::StaticClass());
    EXPECT_EQ(CheckedCast<TGraphic>(iconRead.get()).GetData(),
              (std::vector<std::uint8_t>{1, 2, 3}));

    TMemoryStream memory;
    memory.WriteBuffer("hello", 5);
    memory.SetPosition(3);
    const std::string memoryBytes = Written(&memory);
    EXPECT_EQ(memoryBytes, Record("TMemoryStream", Bytes({2, 5}) + "hello"));
    EXPECT_EQ(memory.GetPosition(), 0) << "writing moves it to its start";
    const std::unique_ptr<TObject> memoryRead = ReadBack(memoryBytes);
    auto& readStream = CheckedCast<TMemoryStream>(memoryRead.get());
    EXPECT_EQ(testing::Contents(readStream), "hello");
    EXPECT_EQ(readStream.GetPosition(), 0);
}

TEST_F(ObjectStream, RecordsFollowOneAnotherInOneStream) {
    TMemoryStream stream;
    TObjectStream objects(stream);
    const auto list = IntegerList<TCircularList>({4, 5});
    WriteObject(objects, MakeBucket<TIntegerBucket>(1).get());
    WriteObject(objects, list.get());

    stream.SetPosition(0);
    EXPECT_EQ(CheckedCast<TIntegerBucket>(ReadObject(objects).get()).GetValue(), 1);
    EXPECT_EQ(stream.GetPosition(), 28);
    EXPECT_EQ(ValuesIn(*ReadObject(objects)), Ints({4, 5}));
    EXPECT_EQ(stream.GetPosition(), stream.GetSize());
}

// Each an invalid stream, and the message of the error it raises.
TEST_F(ObjectStream, EveryMalformedStreamRaisesItsErrorAndLeavesTheObjectStreamIdle) {
    std::string deep = kWorkedExample;
    for (int level = 0; level < kMaxObjectDepth; ++level) {
        deep = Record("TStringCombo", ShortString("") + Bytes({9}) + deep);
    }
    std::string wrongVersion = kWorkedExample;
    wrongVersion[20] = 2;
    std::string wrongSizeValueByte = kWorkedExample;
    wrongSizeValueByte[22] = 5;
    const std::string integerItem = Record("TIntegerBucket", Bytes({2, 0}));
    struct Row {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Row rows[] = {
        {"signature", "TPF1" + kWorkedExample.substr(4), kInvalidStreamFormat},
        {"class not registered", Record("TNothing", ""), "Class not registered"},
        {"version without a read procedure", wrongVersion, "Class version not registered"},
        {"item class not registered",
         Record("TUnorderedList", ShortString("TNothing") + ShortString("CompareLess")),
         "Class not registered"},
        {"compare function not registered",
         Record("TUnorderedList", ShortString("TIntegerBucket") + ShortString("CompareNothing")),
         "Compare function not registered"},
        {"item of another class",
         Record("TUnorderedList", kIntegerListHeader + Bytes({2, 2}) + integerItem +
                                      Record("TByteBucket", Bytes({2, 0}))),
         "Invalid object type in TContainer"},
        {"compare function that does not fit the items",
         Record("TOrderedList", ShortString("TBucket") + ShortString("CompareIntegerBucket") +
                                    Bytes({2, 2}) + Record("TBucket", Bytes({2, 0})) +
                                    Record("TBucket", Bytes({2, 0}))),
         "Object is not of the expected class"},
        {"integer with another value byte", wrongSizeValueByte, kInvalidValueType},
        {"class name with another value byte", "TPF0" + Bytes({7, 0, 1, 0}), kInvalidValueType},
        {"cut short", kWorkedExample.substr(0, 27), kStreamReadError},
        {"bucket larger than the stream", Record("TBucket", Bytes({3, 0xFF, 0xFF}) + "ab"),
         kStreamReadError},
        {"more items than the stream holds",
         Record("TUnorderedList",
                kIntegerListHeader + Bytes({4, 0xFF, 0xFF, 0xFF, 0x7F}) + integerItem),
         kStreamReadError},
        {"combo whose object is missing", Record("TStringCombo", ShortString("x") + Bytes({9})),
         kStreamReadError},
        {"negative memory stream length", Record("TMemoryStream", Bytes({2, 0xFF})),
         kStreamReadError},
        {"graphic longer than the stream", Record("TBitmap", Bytes({4, 0, 0, 0, 0x10}) + "abc"),
         kStreamReadError},
        {"nested too deeply", deep, kNestedTooDeeply},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto stream = StreamOf(row.bytes);
        TObjectStream objects(*stream);
        testing::ExpectRaises<Exception>([&] { ReadObject(objects); }, row.message);
        EXPECT_EQ(objects.Depth, 0);
        EXPECT_EQ(objects.Reader, nullptr);
    }

    const auto stream = StreamOf(Record("TNothing", "") + "more");
    TObjectStream objects(*stream);
    EXPECT_THROW(ReadObject(objects), EClassNotRegistered);
    EXPECT_EQ(stream->GetPosition(), 16) << "name and version were consumed";
}

TEST_F(ObjectStream, AFailedWriteStopsWhereItStrikes) {
    TMemoryStream stream;
    TObjectStream objects(stream);
    testing::TNumber unregistered(1);
    EXPECT_THROW(WriteObject(objects, &unregistered), EClassNotRegistered);
    EXPECT_EQ(stream.GetSize(), 0) << "nothing of the record is written";

    TStringCombo holder;
    holder.Str = "x";
    holder.Obj = &unregistered;
    EXPECT_EQ(testing::Contents(stream), "");
    EXPECT_THROW(WriteObject(objects, &holder), EClassNotRegistered);
    EXPECT_EQ(testing::Contents(stream), Record("TStringCombo", ShortString("x") + Bytes({9})));
    EXPECT_EQ(objects.Depth, 0);
    EXPECT_EQ(objects.Writer, nullptr);

    TMemoryStream listStream;
    TUnorderedList noCompare(TIntegerBucket::StaticClass());
    TObjectStream listObjects(listStream);
    testing::ExpectRaises<ECompareFuncNotRegistered>([&] { WriteObject(listObjects, &noCompare); },
                                                     "Compare function not registered");
    EXPECT_EQ(testing::Contents(listStream),
              Record("TUnorderedList", ShortString("TIntegerBucket")));

    TStringCombo holdsItself;
    holdsItself.Obj = &holdsItself;
    TMemoryStream cycleStream;
    TObjectStream cycleObjects(cycleStream);
    testing::ExpectRaises<EWriteError>([&] { WriteObject(cycleObjects, &holdsItself); },
                                       kNestedTooDeeply);
}

// A stream with room for only so many bytes.
class TStreamWithRoomFor : public TMemoryStream {
public:
    explicit TStreamWithRoomFor(std::size_t room) : room_(room) {}
    std::size_t Write(const void* buffer, std::size_t count) override {
        const auto used = static_cast<std::size_t>(GetPosition());
        return TMemoryStream::Write(buffer, std::min(count, room_ > used ? room_ - used : 0));
    }

private:
    std::size_t room_;
};

TEST_F(ObjectStream, AStreamThatTakesTooFewBytesFailsTheWrite) {
    TStreamWithRoomFor stream(20);
    TObjectStream objects(stream);
    testing::ExpectRaises<EWriteError>(
        [&] { WriteObject(objects, MakeBucket<TIntegerBucket>(1).get()); }, kStreamWriteError);
    EXPECT_EQ(objects.Depth, 0);
    EXPECT_EQ(objects.Writer, nullptr);
}

// Its read procedure writes the worked example into the stream it is read from.
class TWritesWhenRead : public TObject {
    BASLINK_CLASS(TWritesWhenRead, TObject)
};

void WriteTheWorkedExample(TObject*, TObjectReader& reader) {
    WriteObject(reader.Owner, MakeBucket<TIntegerBucket>(1).get());
}

void WriteNothing(TObject*, TObjectWriter&) {}

TEST_F(ObjectStream, AWriteInsideAReadFlushesAndFreesItsOwnWriter) {
    RegisterStreamableClass(TWritesWhenRead::StaticClass(), {WriteTheWorkedExample},
                            {WriteNothing});
    const std::string record = Record("TWritesWhenRead", "");
    const auto stream = StreamOf(record);
    TObjectStream objects(*stream);
    ReadObject(objects);
    EXPECT_EQ(objects.Writer, nullptr);
    EXPECT_EQ(testing::Contents(*stream), record + kWorkedExample);
}

}  // namespace
}  // namespace baslink
