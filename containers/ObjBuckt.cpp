#include "ObjBuckt.h"

#include <utility>

#include "ObjCmp.h"
#include "ObjPerst.h"
#include "ObjectStream.h"

namespace baslink {
namespace {

template <class Value>
std::uint8_t CompareOrdered(Value value1, Value value2) {
    return value1 < value2 ? 1 : (value2 < value1 ? 2 : 0);
}

// Integer, character and Boolean buckets: by value, as the bucket's GetValue gives it.
template <class Bucket>
std::uint8_t CompareBucketValues(const TObject* item1, const TObject* item2) {
    const Bucket& bucket1 = CheckedCast<Bucket>(item1);
    const Bucket& bucket2 = CheckedCast<Bucket>(item2);
    return CompareOrdered(bucket1.GetValue(), bucket2.GetValue());
}

// Double and single precision: any pair with a NaN falls through to 2.
template <class Bucket>
std::uint8_t CompareFloatingBuckets(const TObject* item1, const TObject* item2) {
    const auto value1 = CheckedCast<Bucket>(item1).GetValue();
    const auto value2 = CheckedCast<Bucket>(item2).GetValue();
    if (value2 > value1) {
        return 1;
    }
    return value2 >= value1 ? 0 : 2;
}

const std::string& StrOf(const TObject* item) {
    return CheckedCast<TStringCombo>(item).Str;
}

}  // namespace

TStringCombo::~TStringCombo() {
    if (OwnsObject) {
        delete Obj;
    }
}

TBucket::TBucket(std::uint16_t size, const void* source) : Size(size) {
    if (size != 0) {
        Data = std::make_unique<std::uint8_t[]>(size);
        std::memcpy(Data.get(), source, size);
    }
}

void TBucket::GetData(void* dest) const {
    if (Size != 0) {
        std::memcpy(dest, Data.get(), Size);
    }
}

std::uint8_t CompareStringCombo(const TObject* item1, const TObject* item2) {
    const std::string& str1 = StrOf(item1);
    return CompareStrings(str1, StrOf(item2));
}

std::uint8_t CompareStringComboNoCase(const TObject* item1, const TObject* item2) {
    const std::string& str1 = StrOf(item1);
    return CompareStringsNoCase(str1, StrOf(item2));
}

std::uint8_t CompareShortIntBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TShortIntBucket>(item1, item2);
}

std::uint8_t CompareIntegerBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TIntegerBucket>(item1, item2);
}

std::uint8_t CompareLongIntBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TLongIntBucket>(item1, item2);
}

std::uint8_t CompareByteBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TByteBucket>(item1, item2);
}

std::uint8_t CompareWordBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TWordBucket>(item1, item2);
}

std::uint8_t CompareCharBucket(const TObject* item1, const TObject* item2) {
    const TCharBucket& bucket1 = CheckedCast<TCharBucket>(item1);
    const TCharBucket& bucket2 = CheckedCast<TCharBucket>(item2);
    return CompareOrdered(static_cast<unsigned char>(bucket1.GetValue()),
                          static_cast<unsigned char>(bucket2.GetValue()));
}

std::uint8_t CompareBooleanBucket(const TObject* item1, const TObject* item2) {
    const TBooleanBucket& bucket1 = CheckedCast<TBooleanBucket>(item1);
    const TBooleanBucket& bucket2 = CheckedCast<TBooleanBucket>(item2);
    return CompareOrdered(bucket1.LeadingValue<std::uint8_t>(),
                          bucket2.LeadingValue<std::uint8_t>());
}

std::uint8_t CompareWordBoolBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TWordBoolBucket>(item1, item2);
}

std::uint8_t CompareLongBoolBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TLongBoolBucket>(item1, item2);
}

std::uint8_t CompareRealBucket(const TObject* item1, const TObject* item2) {
    return CompareFloatingBuckets<TRealBucket>(item1, item2);
}

std::uint8_t CompareDateTimeBucket(const TObject* item1, const TObject* item2) {
    return CompareFloatingBuckets<TDateTimeBucket>(item1, item2);
}

std::uint8_t CompareSingleBucket(const TObject* item1, const TObject* item2) {
    return CompareFloatingBuckets<TSingleBucket>(item1, item2);
}

std::uint8_t CompareDoubleBucket(const TObject* item1, const TObject* item2) {
    return CompareFloatingBuckets<TDoubleBucket>(item1, item2);
}

// Any pair with a NaN falls through to 1 here.
std::uint8_t CompareExtendedBucket(const TObject* item1, const TObject* item2) {
    const long double value1 = CheckedCast<TExtendedBucket>(item1).GetValue();
    const long double value2 = CheckedCast<TExtendedBucket>(item2).GetValue();
    if (!(value1 >= value2)) {
        return 1;
    }
    return value1 > value2 ? 2 : 0;
}

std::uint8_t CompareCompBucket(const TObject* item1, const TObject* item2) {
    return CompareBucketValues<TCompBucket>(item1, item2);
}

void WriteStringCombo(TObject* obj, TObjectWriter& writer) {
    const TStringCombo& combo = CheckedCast<TStringCombo>(obj);
    writer.WriteString(combo.Str);
    writer.WriteBoolean(combo.Obj != nullptr);
    if (combo.Obj != nullptr) {
        WriteNestedObject(writer, combo.Obj);
    }
}

void ReadStringCombo(TObject* obj, TObjectReader& reader) {
    TStringCombo& combo = CheckedCast<TStringCombo>(obj);
    combo.Str = reader.ReadString();
    combo.Obj = reader.ReadBoolean() ? ReadNestedObject(reader).release() : nullptr;
    combo.OwnsObject = true;
}

void WriteBucket(TObject* obj, TObjectWriter& writer) {
    const TBucket& bucket = CheckedCast<TBucket>(obj);
    writer.WriteInteger(bucket.Size);
    writer.Write(bucket.Data.get(), bucket.Size);
}

void ReadBucket(TObject* obj, TObjectReader& reader) {
    TBucket& bucket = CheckedCast<TBucket>(obj);
    // The size is kept to its low 16 bits, as the field is.
    const auto size = static_cast<std::uint16_t>(reader.ReadInteger());
    reader.CheckAvailable(size);
    std::unique_ptr<std::uint8_t[]> data;
    if (size != 0) {
        data = std::make_unique<std::uint8_t[]>(size);
        reader.Read(data.get(), size);
    }
    bucket.Data = std::move(data);
    bucket.Size = size;
}

void RegisterBucketClasses() {
    RegisterStreamableClass(TStringCombo::StaticClass(), {ReadStringCombo}, {WriteStringCombo});
    for (TClassRef cls :
         {TBucket::StaticClass(), TShortIntBucket::StaticClass(), TIntegerBucket::StaticClass(),
          TLongIntBucket::StaticClass(), TByteBucket::StaticClass(), TWordBucket::StaticClass(),
          TCharBucket::StaticClass(), TBooleanBucket::StaticClass(), TWordBoolBucket::StaticClass(),
          TLongBoolBucket::StaticClass(), TRealBucket::StaticClass(),
          TDateTimeBucket::StaticClass(), TSingleBucket::StaticClass(),
          TDoubleBucket::StaticClass(), TExtendedBucket::StaticClass(),
          TCompBucket::StaticClass()}) {
        RegisterStreamableClass(cls, {ReadBucket}, {WriteBucket});
    }
}

void RegisterBucketCompareFuncs() {
    const std::pair<const char*, TCompareFunc> funcs[] = {
        {"CompareStringCombo", CompareStringCombo},
        {"CompareStringComboNoCase", CompareStringComboNoCase},
        {"CompareShortIntBucket", CompareShortIntBucket},
        {"CompareIntegerBucket", CompareIntegerBucket},
        {"CompareLongIntBucket", CompareLongIntBucket},
        {"CompareByteBucket", CompareByteBucket},
        {"CompareWordBucket", CompareWordBucket},
        {"CompareCharBucket", CompareCharBucket},
        {"CompareBooleanBucket", CompareBooleanBucket},
        {"CompareWordBoolBucket", CompareWordBoolBucket},
        {"CompareLongBoolBucket", CompareLongBoolBucket},
        {"CompareRealBucket", CompareRealBucket},
        {"CompareDateTimeBucket", CompareDateTimeBucket},
        {"CompareSingleBucket", CompareSingleBucket},
        {"CompareDoubleBucket", CompareDoubleBucket},
        {"CompareExtendedBucket", CompareExtendedBucket},
        {"CompareCompBucket", CompareCompBucket},
    };
    for (const auto& [name, func] : funcs) {
        RegisterCompareFunc(name, func);
    }
}

}  // namespace baslink
