#pragma once
// Helpers for the tests of the registries, the buckets, the filer and the object stream: a
// fixture with freshly started registries, and bytes and records as strings. The objects
// they start from are those of ObjectSamples.h.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "ContainerLibrary.h"
#include "ObjPerst.h"
#include "ObjectSamples.h"
#include "ObjectStream.h"

namespace baslink::testing {

// Each test starts from the registries exactly as the library's start leaves them.
class StartedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        FreeRegistries();
        StartContainerLibrary();
    }
    void TearDown() override { FreeRegistries(); }
};

// The bytes given by their values, as a string.
inline std::string Bytes(std::initializer_list<int> bytes) {
    std::string result;
    for (int byte : bytes) {
        result.push_back(static_cast<char>(byte));
    }
    return result;
}

// A filer string of up to 255 characters: value byte 6, the length, the characters.
inline std::string ShortString(std::string_view text) {
    return std::string{'\x06', static_cast<char>(text.size())} + std::string(text);
}

// A whole record of version 1.
inline std::string Record(std::string_view className, std::string_view payload) {
    return "TPF0" + ShortString(className) + std::string("\x01\x00", 2) + std::string(payload);
}

inline std::string Contents(TMemoryStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.GetSize()));
}

inline std::string Written(TObject* obj) {
    TMemoryStream stream;
    TObjectStream objects(stream);
    WriteObject(objects, obj);
    return Contents(stream);
}

// A stream holding `bytes`, at its start.
inline std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer(bytes.data(), bytes.size());
    stream->SetPosition(0);
    return stream;
}

inline std::unique_ptr<TObject> ReadBack(const std::string& bytes) {
    const auto stream = StreamOf(bytes);
    TObjectStream objects(*stream);
    return ReadObject(objects);
}

}  // namespace baslink::testing
