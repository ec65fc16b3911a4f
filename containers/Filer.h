#pragma once
// The filer: typed values on a byte stream, through a buffer. Each value starts with a
// value byte that says its form; integers take the shortest form that holds them, and
// texts travel as the library's 8-bit Windows-1252 text or, when they hold a character
// outside 7-bit ASCII, as UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Stream.h"

namespace baslink {

// The value bytes.
namespace value_byte {
inline constexpr std::uint8_t kInt8 = 2;
inline constexpr std::uint8_t kInt16 = 3;
inline constexpr std::uint8_t kInt32 = 4;
inline constexpr std::uint8_t kShortString = 6;  // 1-byte length
inline constexpr std::uint8_t kFalse = 8;
inline constexpr std::uint8_t kTrue = 9;
inline constexpr std::uint8_t kLongString = 12;   // 4-byte length
inline constexpr std::uint8_t kUtf16String = 18;  // 4-byte count of 2-byte units
inline constexpr std::uint8_t kInt64 = 19;
inline constexpr std::uint8_t kUtf8String = 20;  // 4-byte count of bytes
}  // namespace value_byte

// Raised by a read that meets a value byte of another kind than it expects.
inline constexpr const char* kInvalidValueType = "Invalid value type in stream";

class TFiler {
public:
    TFiler(TStream& stream, std::size_t bufferSize);
    virtual ~TFiler() = default;
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

protected:
    TStream& stream_;
    std::vector<std::uint8_t> buffer_;
};

class TReader : public TFiler {
public:
    using TFiler::TFiler;
    // Gives back to the stream what was buffered and not read, so the stream stands just
    // after the last byte read.
    ~TReader() override;

    // Exactly `count` raw bytes, or EReadError "Stream read error" when the stream ends.
    void Read(void* buffer, std::size_t count);
    // Takes value bytes 2, 3 and 4 and extends the sign; any other raises EReadError.
    std::int32_t ReadInteger();
    // Takes the short, long, UTF-8 and UTF-16 forms; any other value byte raises
    // EReadError. The result is Windows-1252 text.
    std::string ReadString();
    // True exactly when the value byte is the one for True.
    bool ReadBoolean();

    // Raises EReadError "Stream read error" unless at least `count` bytes are left to
    // read: a length taken from the stream is checked before anything that large is made.
    void CheckAvailable(std::uint64_t count);

private:
    std::uint8_t ReadByte();
    // An unsigned little-endian value of 1 to 4 bytes.
    std::uint32_t ReadLittleEndian(std::size_t width);
    std::string ReadChars(std::uint64_t count);

    std::size_t next_ = 0;  // the next buffered byte to hand out
    std::size_t end_ = 0;   // one past the last buffered byte
};

class TWriter : public TFiler {
public:
    using TFiler::TFiler;
    // Writes out what is still buffered. A destructor cannot report a failed write, so
    // whoever needs to know flushes first (FlushBuffer).
    ~TWriter() override;

    void Write(const void* buffer, std::size_t count);
    void WriteInteger(std::int32_t value);
    // The 32-bit form when the value fits it, else value byte 19 and 8 bytes.
    void WriteInteger64(std::int64_t value);
    void WriteString(std::string_view text);
    void WriteBoolean(bool value);

    // Raises EWriteError "Stream write error" when the stream takes fewer bytes.
    void FlushBuffer();

private:
    void WriteByte(std::uint8_t value);
    void WriteLittleEndian(std::uint64_t value, std::size_t width);

    std::size_t used_ = 0;
};

}  // namespace baslink
