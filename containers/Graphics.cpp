#include "Graphics.h"

#include <algorithm>

namespace baslink {

void TGraphic::SaveToStream(TStream& stream) const {
    stream.WriteBuffer(data_.data(), data_.size());
}

void TGraphic::LoadFromStream(TStream& stream) {
    const std::int64_t left = std::max<std::int64_t>(0, stream.GetSize() - stream.GetPosition());
    std::vector<std::uint8_t> data(static_cast<std::size_t>(left));
    stream.ReadBuffer(data.data(), data.size());
    data_ = std::move(data);
}

}  // namespace baslink
