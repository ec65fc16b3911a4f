#include "Stream.h"

#include <algorithm>
#include <cstring>

namespace baslink {

std::int64_t TStream::GetSize() noexcept {
    const std::int64_t position = GetPosition();
    const std::int64_t size = Seek(0, TSeekOrigin::End);
    SetPosition(position);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count) {
        throw EReadError(kStreamReadError);
    }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count != 0 && Write(buffer, count) != count) {
        throw EWriteError(kStreamWriteError);
    }
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::int64_t size = GetSize();
    if (count == 0 || position_ >= size) {
        return 0;
    }
    const auto available = static_cast<std::size_t>(size - position_);
    const std::size_t taken = std::min(count, available);
    std::memcpy(buffer, bytes_.data() + position_, taken);
    position_ += static_cast<std::int64_t>(taken);
    return taken;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    const auto end = static_cast<std::size_t>(position_) + count;
    if (end > bytes_.size()) {
        bytes_.resize(end);
    }
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) noexcept {
    std::int64_t base = 0;
    if (origin == TSeekOrigin::Current) {
        base = position_;
    } else if (origin == TSeekOrigin::End) {
        base = GetSize();
    }
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    bytes_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, size)));
    position_ = std::min(position_, GetSize());
}

std::int64_t TMemoryStream::GetSize() noexcept {
    return static_cast<std::int64_t>(bytes_.size());
}

}  // namespace baslink
