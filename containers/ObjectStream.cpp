#include "ObjectStream.h"

#include <cstring>

#include "ContainerErrors.h"
#include "ObjPerst.h"

namespace baslink {
namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};

// One level of record nesting. The level that finds no reader or writer makes it and frees
// it on every path out; the levels nested inside it share it. That is the outermost level,
// also when a read procedure writes or a write procedure reads.
template <class Filer>
class RecordLevel {
public:
    RecordLevel(TObjectStream& owner, std::unique_ptr<Filer>& filer)
        : owner_(owner), filer_(filer), madeFiler_(filer == nullptr) {
        if (madeFiler_) {
            filer_ = std::make_unique<Filer>(owner_);
        }
        ++owner_.Depth;
    }
    ~RecordLevel() {
        --owner_.Depth;
        if (madeFiler_) {
            filer_.reset();
        }
    }
    RecordLevel(const RecordLevel&) = delete;
    RecordLevel& operator=(const RecordLevel&) = delete;

    Filer& filer() { return *filer_; }
    bool MadeFiler() const { return madeFiler_; }

private:
    TObjectStream& owner_;
    std::unique_ptr<Filer>& filer_;
    const bool madeFiler_;
};

}  // namespace

TObjectReader::TObjectReader(TObjectStream& owner)
    : TReader(owner.Stream, kObjectFilerBufferSize), Owner(owner) {}

TObjectWriter::TObjectWriter(TObjectStream& owner)
    : TWriter(owner.Stream, kObjectFilerBufferSize), Owner(owner) {}

std::unique_ptr<TObject> ReadObject(TObjectStream& owner) {
    if (owner.Depth >= kMaxObjectDepth) {
        throw EReadError(kNestedTooDeeply);
    }
    RecordLevel<TObjectReader> level(owner, owner.Reader);
    TObjectReader& reader = level.filer();

    char signature[sizeof kSignature];
    reader.Read(signature, sizeof signature);
    if (std::memcmp(signature, kSignature, sizeof kSignature) != 0) {
        throw EReadError(kInvalidStreamFormat);
    }
    const std::string className = reader.ReadString();
    std::uint8_t version[2];
    reader.Read(version, sizeof version);

    TStreamableInterface& entry = GetStreamableInterface(className);
    // The new object is empty; its read procedure sets whatever it needs. A registered
    // class that cannot be made so (an abstract one) cannot be read back.
    std::unique_ptr<TObject> obj = entry.ClassRef->NewInstance();
    if (obj == nullptr) {
        RaiseClassNotRegistered();
    }
    entry.GetReadProc(static_cast<std::uint16_t>(version[0] | version[1] << 8))(obj.get(), reader);
    return obj;
}

void WriteObject(TObjectStream& owner, TObject* obj) {
    // A list may hold none in a place (its SetCurrent takes none): no class, no record.
    if (obj == nullptr) {
        RaiseClassNotRegistered();
    }
    TStreamableInterface& entry = GetStreamableInterface(obj->ClassName());
    if (owner.Depth >= kMaxObjectDepth) {
        throw EWriteError(kNestedTooDeeply);
    }
    RecordLevel<TObjectWriter> level(owner, owner.Writer);
    TObjectWriter& writer = level.filer();

    writer.Write(kSignature, sizeof kSignature);
    writer.WriteString(obj->ClassName());
    const std::uint16_t version = entry.Version;
    const std::uint8_t versionBytes[2] = {static_cast<std::uint8_t>(version),
                                          static_cast<std::uint8_t>(version >> 8)};
    writer.Write(versionBytes, sizeof versionBytes);
    entry.GetWriteProc(version)(obj, writer);
    // Flushed here, where a failure can still be reported, rather than by the writer's end.
    if (level.MadeFiler()) {
        writer.FlushBuffer();
    }
}

std::unique_ptr<TObject> ReadNestedObject(TObjectReader& reader) {
    return ReadObject(reader.Owner);
}

void WriteNestedObject(TObjectWriter& writer, TObject* obj) {
    WriteObject(writer.Owner, obj);
}

}  // namespace baslink
