#include "Filer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "Windows1252.h"

namespace baslink {
namespace {

bool IsSevenBitAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

template <class Value>
bool Fits(std::int64_t value) {
    return value >= std::numeric_limits<Value>::min() && value <= std::numeric_limits<Value>::max();
}

}  // namespace

TFiler::TFiler(TStream& stream, std::size_t bufferSize) : stream_(stream), buffer_(bufferSize) {}

TReader::~TReader() {
    if (end_ > next_) {
        stream_.Seek(-static_cast<std::int64_t>(end_ - next_), TSeekOrigin::Current);
    }
}

void TReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (count > 0) {
        if (next_ == end_) {
            next_ = 0;
            end_ = stream_.Read(buffer_.data(), buffer_.size());
            if (end_ == 0) {
                throw EReadError(kStreamReadError);
            }
        }
        const std::size_t taken = std::min(count, end_ - next_);
        std::memcpy(out, buffer_.data() + next_, taken);
        out += taken;
        next_ += taken;
        count -= taken;
    }
}

void TReader::CheckAvailable(std::uint64_t count) {
    const std::int64_t unbuffered = stream_.GetSize() - stream_.GetPosition();
    const std::uint64_t available =
        (end_ - next_) + static_cast<std::uint64_t>(std::max<std::int64_t>(0, unbuffered));
    if (count > available) {
        throw EReadError(kStreamReadError);
    }
}

std::uint8_t TReader::ReadByte() {
    std::uint8_t value = 0;
    Read(&value, 1);
    return value;
}

std::uint32_t TReader::ReadLittleEndian(std::size_t width) {
    std::uint8_t bytes[4] = {};
    Read(bytes, width);
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::string TReader::ReadChars(std::uint64_t count) {
    CheckAvailable(count);
    std::string chars(static_cast<std::size_t>(count), '\0');
    Read(chars.data(), chars.size());
    return chars;
}

std::int32_t TReader::ReadInteger() {
    switch (ReadByte()) {
        case value_byte::kInt8:
            return static_cast<std::int8_t>(ReadLittleEndian(1));
        case value_byte::kInt16:
            return static_cast<std::int16_t>(ReadLittleEndian(2));
        case value_byte::kInt32:
            return static_cast<std::int32_t>(ReadLittleEndian(4));
        default:
            throw EReadError(kInvalidValueType);
    }
}

std::string TReader::ReadString() {
    switch (ReadByte()) {
        case value_byte::kShortString:
            return ReadChars(ReadByte());
        case value_byte::kLongString:
            return ReadChars(ReadLittleEndian(4));
        case value_byte::kUtf8String:
            return text::Utf8ToWindows1252(ReadChars(ReadLittleEndian(4)));
        case value_byte::kUtf16String: {
            const std::uint64_t units = ReadLittleEndian(4);
            const std::string bytes = ReadChars(units * 2);
            std::u16string text(static_cast<std::size_t>(units), u'\0');
            for (std::size_t i = 0; i < text.size(); ++i) {
                text[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                                static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
            }
            return text::Utf16ToWindows1252(text);
        }
        default:
            throw EReadError(kInvalidValueType);
    }
}

bool TReader::ReadBoolean() {
    return ReadByte() == value_byte::kTrue;
}

TWriter::~TWriter() {
    try {
        FlushBuffer();
    } catch (const EWriteError&) {
        // Only reached while another error is on its way out: the object stream flushes
        // before it frees its writer whenever a write goes well, and reports that flush.
    }
}

void TWriter::Write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    while (count > 0) {
        if (used_ == buffer_.size()) {
            FlushBuffer();
        }
        const std::size_t taken = std::min(count, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, in, taken);
        in += taken;
        used_ += taken;
        count -= taken;
    }
}

void TWriter::FlushBuffer() {
    stream_.WriteBuffer(buffer_.data(), std::exchange(used_, 0));
}

void TWriter::WriteByte(std::uint8_t value) {
    Write(&value, 1);
}

void TWriter::WriteLittleEndian(std::uint64_t value, std::size_t width) {
    std::uint8_t bytes[8];
    for (std::size_t i = 0; i < width; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    Write(bytes, width);
}

void TWriter::WriteInteger(std::int32_t value) {
    if (Fits<std::int8_t>(value)) {
        WriteByte(value_byte::kInt8);
        WriteLittleEndian(static_cast<std::uint32_t>(value), 1);
    } else if (Fits<std::int16_t>(value)) {
        WriteByte(value_byte::kInt16);
        WriteLittleEndian(static_cast<std::uint32_t>(value), 2);
    } else {
        WriteByte(value_byte::kInt32);
        WriteLittleEndian(static_cast<std::uint32_t>(value), 4);
    }
}

void TWriter::WriteInteger64(std::int64_t value) {
    if (Fits<std::int32_t>(value)) {
        WriteInteger(static_cast<std::int32_t>(value));
        return;
    }
    WriteByte(value_byte::kInt64);
    WriteLittleEndian(static_cast<std::uint64_t>(value), 8);
}

void TWriter::WriteString(std::string_view text) {
    if (!IsSevenBitAscii(text)) {
        const std::string utf8 = text::Windows1252ToUtf8(text);
        WriteByte(value_byte::kUtf8String);
        WriteLittleEndian(utf8.size(), 4);
        Write(utf8.data(), utf8.size());
        return;
    }
    if (text.size() <= 255) {
        WriteByte(value_byte::kShortString);
        WriteLittleEndian(text.size(), 1);
    } else {
        WriteByte(value_byte::kLongString);
        WriteLittleEndian(text.size(), 4);
    }
    Write(text.data(), text.size());
}

void TWriter::WriteBoolean(bool value) {
    WriteByte(value ? value_byte::kTrue : value_byte::kFalse);
}

}  // namespace baslink
