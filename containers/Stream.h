#pragma once
// Byte streams: TStream, what the object stream reads and writes, and TMemoryStream, a
// stream held in memory that can itself be kept in an object stream.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Exception.h"
#include "ObjBase.h"

namespace baslink {

// What a stream and the filer on top of it raise when a read or a write cannot be done.
class EReadError : public Exception {
public:
    explicit EReadError(const std::string& message) : Exception(message) {}
};

class EWriteError : public Exception {
public:
    explicit EWriteError(const std::string& message) : Exception(message) {}
};

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";

enum class TSeekOrigin { Beginning, Current, End };

class TStream : public TObject {
    BASLINK_CLASS(TStream, TObject)

    // Copies up to `count` bytes from the position on and moves past them; fewer only
    // when the stream ends first.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes up to `count` bytes at the position and moves past them; returns how many.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position (never below 0) and returns it. Never raises, so that a reader
    // can give back what it buffered while an error goes by.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) noexcept = 0;
    virtual void SetSize(std::int64_t size) = 0;
    virtual std::int64_t GetSize() noexcept;

    std::int64_t GetPosition() noexcept { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(std::int64_t position) noexcept { Seek(position, TSeekOrigin::Beginning); }

    // Exactly `count` bytes, or EReadError "Stream read error".
    void ReadBuffer(void* buffer, std::size_t count);
    // Exactly `count` bytes, or EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, std::size_t count);
};

class TMemoryStream : public TStream {
    BASLINK_CLASS(TMemoryStream, TStream)

    std::size_t Read(void* buffer, std::size_t count) override;
    // Writing past the end grows the stream; a gap before the position is zero-filled.
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) noexcept override;
    // New bytes are zero; a position past the new end moves back to it.
    void SetSize(std::int64_t size) override;
    std::int64_t GetSize() noexcept override;

    std::uint8_t* Memory() noexcept { return bytes_.data(); }
    const std::uint8_t* Memory() const noexcept { return bytes_.data(); }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

}  // namespace baslink
