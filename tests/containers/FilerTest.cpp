#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Filer.h"
#include "ListTestSupport.h"
#include "StreamTestSupport.h"

namespace baslink {
namespace {

using testing::Bytes;
using testing::Contents;
using testing::StreamOf;

std::string WrittenBy(const std::function<void(TWriter&)>& write) {
    TMemoryStream stream;
    {
        TWriter writer(stream, 4096);
        write(writer);
    }
    return Contents(stream);
}

struct ValueRow {
    const char* name;
    std::function<void(TWriter&)> write;
    std::string bytes;
    std::function<void(TReader&)> checkReadBack;  // none for forms that are not read back
};

std::function<void(TReader&)> ReadsInteger(std::int32_t value) {
    return [value](TReader& reader) { EXPECT_EQ(reader.ReadInteger(), value); };
}

std::function<void(TReader&)> ReadsString(const std::string& text) {
    return [text](TReader& reader) { EXPECT_EQ(reader.ReadString(), text); };
}

std::function<void(TWriter&)> Integer(std::int32_t value) {
    return [value](TWriter& writer) { writer.WriteInteger(value); };
}

std::function<void(TWriter&)> String(const std::string& text) {
    return [text](TWriter& writer) { writer.WriteString(text); };
}

TEST(Filer, WritesEachValueInItsShortestFormAndReadsItBack) {
    const std::string chars255(255, 'x');
    const std::string chars256(256, 'y');
    const ValueRow rows[] = {
        {"zero", Integer(0), Bytes({2, 0}), ReadsInteger(0)},
        {"-128", Integer(-128), Bytes({2, 0x80}), ReadsInteger(-128)},
        {"127", Integer(127), Bytes({2, 0x7F}), ReadsInteger(127)},
        {"128", Integer(128), Bytes({3, 0x80, 0}), ReadsInteger(128)},
        {"-129", Integer(-129), Bytes({3, 0x7F, 0xFF}), ReadsInteger(-129)},
        {"32767", Integer(32767), Bytes({3, 0xFF, 0x7F}), ReadsInteger(32767)},
        {"32768", Integer(32768), Bytes({4, 0, 0x80, 0, 0}), ReadsInteger(32768)},
        {"-32769", Integer(-32769), Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF}), ReadsInteger(-32769)},
        {"64-bit that fits", [](TWriter& w) { w.WriteInteger64(-3); }, Bytes({2, 0xFD}),
         ReadsInteger(-3)},
        {"64-bit beyond 32", [](TWriter& w) { w.WriteInteger64(std::int64_t{1} << 31); },
         Bytes({19, 0, 0, 0, 0x80, 0, 0, 0, 0}), nullptr},
        {"empty string", String(""), Bytes({6, 0}), ReadsString("")},
        {"255 characters", String(chars255), Bytes({6, 255}) + chars255, ReadsString(chars255)},
        {"256 characters", String(chars256), Bytes({12, 0, 1, 0, 0}) + chars256,
         ReadsString(chars256)},
        {"text beyond 7 bits as UTF-8", String("Tama\xF1o \x80"),
         Bytes({20, 11, 0, 0, 0}) + "Tamaño €", ReadsString("Tama\xF1o \x80")},
        {"True", [](TWriter& w) { w.WriteBoolean(true); }, Bytes({9}),
         [](TReader& r) { EXPECT_TRUE(r.ReadBoolean()); }},
        {"False", [](TWriter& w) { w.WriteBoolean(false); }, Bytes({8}),
         [](TReader& r) { EXPECT_FALSE(r.ReadBoolean()); }},
    };
    for (const ValueRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(WrittenBy(row.write), row.bytes);
        if (row.checkReadBack) {
            const auto stream = StreamOf(row.bytes);
            TReader reader(*stream, 4096);
            row.checkReadBack(reader);
        }
    }
}

TEST(Filer, ReadsTheUtf16FormIntoWindows1252) {
    // "Añ€" and a character the code page lacks.
    const auto stream = StreamOf(Bytes({18, 4, 0, 0, 0, 'A', 0, 0xF1, 0, 0xAC, 0x20, 0x94, 0x03}));
    TReader reader(*stream, 4096);
    EXPECT_EQ(reader.ReadString(), "A\xF1\x80?");
}

TEST(Filer, RefusesOtherValueBytesAndValuesCutShort) {
    struct Row {
        const char* name;
        std::string bytes;
        std::function<void(TReader&)> read;
        const char* message;
    };
    const auto readInteger = [](TReader& r) { r.ReadInteger(); };
    const auto readString = [](TReader& r) { r.ReadString(); };
    const Row rows[] = {
        {"integer with a string's value byte", Bytes({6, 0}), readInteger, kInvalidValueType},
        {"integer in the 64-bit form", Bytes({19, 0, 0, 0, 0x80, 0, 0, 0, 0}), readInteger,
         kInvalidValueType},
        {"string with an integer's value byte", Bytes({2, 0}), readString, kInvalidValueType},
        {"empty stream", "", readInteger, kStreamReadError},
        {"integer cut short", Bytes({3, 1}), readInteger, kStreamReadError},
        {"short string cut short", Bytes({6, 5, 'a', 'b'}), readString, kStreamReadError},
        {"long string past the end", Bytes({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}), readString,
         kStreamReadError},
        {"UTF-8 count past the end", Bytes({20, 0xFF, 0xFF, 0xFF, 0xFF}), readString,
         kStreamReadError},
        {"UTF-16 count past the end", Bytes({18, 0, 0, 0, 0x80, 'a', 0}), readString,
         kStreamReadError},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto stream = StreamOf(row.bytes);
        TReader reader(*stream, 4096);
        testing::ExpectRaises<EReadError>([&] { row.read(reader); }, row.message);
    }
}

TEST(Filer, TheReaderGivesBackWhatItBufferedBeyondTheLastByteRead) {
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes.push_back(static_cast<char>(i * 7));
    }
    const auto stream = StreamOf(bytes);
    std::string read(5000, '\0');
    {
        TReader reader(*stream, 4096);
        reader.Read(read.data(), read.size());  // across a refill of the buffer
    }
    EXPECT_EQ(read, bytes.substr(0, 5000));
    EXPECT_EQ(stream->GetPosition(), 5000);
}

TEST(Filer, TheWriterHandsOnBlocksLargerThanItsBuffer) {
    const std::string block(10000, 'z');
    EXPECT_EQ(WrittenBy([&](TWriter& w) {
                  w.Write("a", 1);
                  w.Write(block.data(), block.size());
              }),
              "a" + block);
}

}  // namespace
}  // namespace baslink
