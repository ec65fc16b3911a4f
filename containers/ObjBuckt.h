#pragma once
// Value buckets let plain values and texts live in the containers, which hold objects:
//  - TStringCombo pairs a text with an optional object and sorts by the text;
//  - TBucket holds its own copy of a block of bytes;
//  - the fifteen typed buckets each hold one value of a built-in type, little-endian at the
//    start of their bytes, and each has a compare function for that type.
// Every compare function here first checks that both items are of its class (or derived
// from it) and raises EInvalidCast otherwise.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "Container.h"

namespace baslink {

class TObjectReader;
class TObjectWriter;

class TStringCombo : public TObject {
    BASLINK_CLASS(TStringCombo, TObject)

    TStringCombo() = default;
    TStringCombo(const TStringCombo&) = delete;
    TStringCombo& operator=(const TStringCombo&) = delete;
    // Frees Obj when it owns it.
    ~TStringCombo() override;

    const std::string& GetStr() const noexcept { return Str; }

    bool OwnsObject = false;
    std::string Str;
    TObject* Obj = nullptr;
};

class TBucket : public TObject {
    BASLINK_CLASS(TBucket, TObject)

    TBucket() = default;
    // A copy of the first `size` bytes of `source`; no block at all for size 0.
    TBucket(std::uint16_t size, const void* source);

    std::uint16_t GetSize() const noexcept { return Size; }
    // Copies the Size bytes into `dest`.
    void GetData(void* dest) const;

    // The value of type T held in the first `width` bytes. A bucket read from a stream may
    // be shorter than its type: the bytes it lacks count as zero.
    template <class T, std::size_t width = sizeof(T)>
    T LeadingValue() const noexcept {
        static_assert(width <= sizeof(T));
        T value{};
        if (Data != nullptr) {
            std::memcpy(&value, Data.get(), Size < width ? Size : width);
        }
        return value;
    }

private:
    friend void ReadBucket(TObject* obj, TObjectReader& reader);
    friend void WriteBucket(TObject* obj, TObjectWriter& writer);

    std::unique_ptr<std::uint8_t[]> Data;
    std::uint16_t Size = 0;
};

class TShortIntBucket : public TBucket {
    BASLINK_CLASS(TShortIntBucket, TBucket)
    using TBucket::TBucket;
    std::int8_t GetValue() const noexcept { return LeadingValue<std::int8_t>(); }
};

class TIntegerBucket : public TBucket {
    BASLINK_CLASS(TIntegerBucket, TBucket)
    using TBucket::TBucket;
    std::int32_t GetValue() const noexcept { return LeadingValue<std::int32_t>(); }
};

class TLongIntBucket : public TBucket {
    BASLINK_CLASS(TLongIntBucket, TBucket)
    using TBucket::TBucket;
    std::int32_t GetValue() const noexcept { return LeadingValue<std::int32_t>(); }
};

class TByteBucket : public TBucket {
    BASLINK_CLASS(TByteBucket, TBucket)
    using TBucket::TBucket;
    std::uint8_t GetValue() const noexcept { return LeadingValue<std::uint8_t>(); }
};

class TWordBucket : public TBucket {
    BASLINK_CLASS(TWordBucket, TBucket)
    using TBucket::TBucket;
    std::uint16_t GetValue() const noexcept { return LeadingValue<std::uint16_t>(); }
};

class TCharBucket : public TBucket {
    BASLINK_CLASS(TCharBucket, TBucket)
    using TBucket::TBucket;
    char GetValue() const noexcept { return LeadingValue<char>(); }
};

// Compared by its raw byte, so a stored 2 stands after a stored 1 although both are True.
class TBooleanBucket : public TBucket {
    BASLINK_CLASS(TBooleanBucket, TBucket)
    using TBucket::TBucket;
    bool GetValue() const noexcept { return LeadingValue<std::uint8_t>() != 0; }
};

class TWordBoolBucket : public TBucket {
    BASLINK_CLASS(TWordBoolBucket, TBucket)
    using TBucket::TBucket;
    bool GetValue() const noexcept { return LeadingValue<std::uint16_t>() != 0; }
};

class TLongBoolBucket : public TBucket {
    BASLINK_CLASS(TLongBoolBucket, TBucket)
    using TBucket::TBucket;
    bool GetValue() const noexcept { return LeadingValue<std::uint32_t>() != 0; }
};

class TRealBucket : public TBucket {
    BASLINK_CLASS(TRealBucket, TBucket)
    using TBucket::TBucket;
    double GetValue() const noexcept { return LeadingValue<double>(); }
};

// Days since the epoch of the date type, with the time of day as the fraction.
class TDateTimeBucket : public TBucket {
    BASLINK_CLASS(TDateTimeBucket, TBucket)
    using TBucket::TBucket;
    double GetValue() const noexcept { return LeadingValue<double>(); }
};

class TSingleBucket : public TBucket {
    BASLINK_CLASS(TSingleBucket, TBucket)
    using TBucket::TBucket;
    float GetValue() const noexcept { return LeadingValue<float>(); }
};

class TDoubleBucket : public TBucket {
    BASLINK_CLASS(TDoubleBucket, TBucket)
    using TBucket::TBucket;
    double GetValue() const noexcept { return LeadingValue<double>(); }
};

// The 10 bytes of an 80-bit extended value, which long double holds on this platform.
static_assert(std::numeric_limits<long double>::digits == 64, "long double is not 80-bit");
inline constexpr std::size_t kExtendedWidth = 10;

class TExtendedBucket : public TBucket {
    BASLINK_CLASS(TExtendedBucket, TBucket)
    using TBucket::TBucket;
    long double GetValue() const noexcept { return LeadingValue<long double, kExtendedWidth>(); }
};

class TCompBucket : public TBucket {
    BASLINK_CLASS(TCompBucket, TBucket)
    using TBucket::TBucket;
    std::int64_t GetValue() const noexcept { return LeadingValue<std::int64_t>(); }
};

std::uint8_t CompareStringCombo(const TObject* item1, const TObject* item2);
std::uint8_t CompareStringComboNoCase(const TObject* item1, const TObject* item2);
std::uint8_t CompareShortIntBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareIntegerBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareLongIntBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareByteBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareWordBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareCharBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareBooleanBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareWordBoolBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareLongBoolBucket(const TObject* item1, const TObject* item2);
// The double and single comparers give 2 for a pair with a NaN; the extended one gives 1.
std::uint8_t CompareRealBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareDateTimeBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareSingleBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareDoubleBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareExtendedBucket(const TObject* item1, const TObject* item2);
std::uint8_t CompareCompBucket(const TObject* item1, const TObject* item2);

// The stream procedures: a combo as its text, a has-object flag and the object; a bucket as
// its size and its bytes.
void ReadStringCombo(TObject* obj, TObjectReader& reader);
void WriteStringCombo(TObject* obj, TObjectWriter& writer);
void ReadBucket(TObject* obj, TObjectReader& reader);
void WriteBucket(TObject* obj, TObjectWriter& writer);

// Registers TStringCombo, then TBucket and the typed buckets, as streamable.
void RegisterBucketClasses();
// Registers the compare functions of this unit under their own names.
void RegisterBucketCompareFuncs();

}  // namespace baslink
