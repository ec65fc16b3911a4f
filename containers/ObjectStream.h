#pragma once
// The object stream: an object written to a byte stream in a self-describing record and
// read back as a new object of the same class. A record is the signature "TPF0", the class
// name (a filer string), the class's version (2 bytes, little-endian) and the payload its
// write procedure gives; the objects an object holds follow inside it as records of their
// own. The classes taking part, and their procedures, are those of the class registry.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Filer.h"
#include "ObjBase.h"

namespace baslink {

class TObjectStream;

// The buffer of the reader and writer of one outermost read or write.
inline constexpr std::size_t kObjectFilerBufferSize = 4096;
// Records nested deeper than this are refused, so that no stream, however it is made,
// can run the reader out of stack.
inline constexpr std::int32_t kMaxObjectDepth = 256;

inline constexpr const char* kInvalidStreamFormat = "Invalid stream format";
inline constexpr const char* kNestedTooDeeply = "Objects nested too deeply in stream";

class TObjectReader : public TReader {
public:
    explicit TObjectReader(TObjectStream& owner);
    TObjectStream& Owner;
};

class TObjectWriter : public TWriter {
public:
    explicit TObjectWriter(TObjectStream& owner);
    TObjectStream& Owner;
};

class TObjectStream {
public:
    explicit TObjectStream(TStream& stream) : Stream(stream) {}
    TObjectStream(const TObjectStream&) = delete;
    TObjectStream& operator=(const TObjectStream&) = delete;

    TStream& Stream;  // not owned
    // Each exists while an outermost write or read is under way.
    std::unique_ptr<TObjectWriter> Writer;
    std::unique_ptr<TObjectReader> Reader;
    // Nesting depth of the record being read or written; 0 between uses.
    std::int32_t Depth = 0;
};

// Reads one record at the stream's position and returns its new object. Raises EReadError
// ("Invalid stream format" for a wrong signature, "Stream read error" for a stream that
// ends early), or the registry's and the lists' errors; the objects under construction are
// freed then. After an outermost read the stream stands just after the last byte used.
std::unique_ptr<TObject> ReadObject(TObjectStream& owner);
// Writes one record for `obj`. An object whose class is not registered (or none) raises
// EClassNotRegistered before anything of its record is written.
void WriteObject(TObjectStream& owner, TObject* obj);

// For the read and write procedures: the objects nested inside the one they handle.
std::unique_ptr<TObject> ReadNestedObject(TObjectReader& reader);
void WriteNestedObject(TObjectWriter& writer, TObject* obj);

}  // namespace baslink
