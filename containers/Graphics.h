#pragma once
// Pictures as the object stream keeps them: each graphic holds its data as the bytes of its
// file form and hands them on unchanged. Nothing here draws or decodes a picture.

#include <cstdint>
#include <utility>
#include <vector>

#include "ObjBase.h"
#include "Stream.h"

namespace baslink {

class TGraphic : public TObject {
    BASLINK_CLASS(TGraphic, TObject)

    // Writes the graphic's data at the stream's position.
    virtual void SaveToStream(TStream& stream) const;
    // Takes everything from the stream's position to its end as the graphic's data.
    virtual void LoadFromStream(TStream& stream);

    const std::vector<std::uint8_t>& GetData() const noexcept { return data_; }
    void SetData(std::vector<std::uint8_t> data) noexcept { data_ = std::move(data); }

protected:
    TGraphic() = default;  // only its kinds are made

private:
    std::vector<std::uint8_t> data_;
};

class TBitmap : public TGraphic {
    BASLINK_CLASS(TBitmap, TGraphic)
};

class TIcon : public TGraphic {
    BASLINK_CLASS(TIcon, TGraphic)
};

class TMetafile : public TGraphic {
    BASLINK_CLASS(TMetafile, TGraphic)
};

}  // namespace baslink
