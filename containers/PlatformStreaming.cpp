#include "PlatformStreaming.h"

#include "Graphics.h"
#include "ObjPerst.h"
#include "ObjectStream.h"

namespace baslink {
namespace {

void WriteStreamBytes(TMemoryStream& stream, TObjectWriter& writer) {
    const std::int64_t size = stream.GetSize();
    writer.WriteInteger64(size);
    writer.Write(stream.Memory(), static_cast<std::size_t>(size));
}

// Lengths are read back in the 32-bit form only. A negative one, or one past what the
// stream holds, is a stream that ends too early.
void ReadStreamBytes(TMemoryStream& stream, TObjectReader& reader) {
    const std::int32_t length = reader.ReadInteger();
    if (length < 0) {
        throw EReadError(kStreamReadError);
    }
    reader.CheckAvailable(static_cast<std::uint64_t>(length));
    stream.SetSize(length);
    reader.Read(stream.Memory(), static_cast<std::size_t>(length));
}

}  // namespace

void WriteGraphic(TObject* obj, TObjectWriter& writer) {
    const TGraphic& graphic = CheckedCast<TGraphic>(obj);
    TMemoryStream data;
    graphic.SaveToStream(data);
    WriteStreamBytes(data, writer);
}

void ReadGraphic(TObject* obj, TObjectReader& reader) {
    TGraphic& graphic = CheckedCast<TGraphic>(obj);
    TMemoryStream data;
    ReadStreamBytes(data, reader);
    graphic.LoadFromStream(data);
}

void WriteMemoryStream(TObject* obj, TObjectWriter& writer) {
    TMemoryStream& stream = CheckedCast<TMemoryStream>(obj);
    stream.SetPosition(0);  // and there it stays
    WriteStreamBytes(stream, writer);
}

void ReadMemoryStream(TObject* obj, TObjectReader& reader) {
    ReadStreamBytes(CheckedCast<TMemoryStream>(obj), reader);
}

void RegisterPlatformClasses() {
    for (TClassRef cls : {TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass()}) {
        RegisterStreamableClass(cls, {ReadGraphic}, {WriteGraphic});
    }
    RegisterStreamableClass(TMemoryStream::StaticClass(), {ReadMemoryStream}, {WriteMemoryStream});
}

}  // namespace baslink
