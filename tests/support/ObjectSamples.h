#pragma once
// Objects of the container library that its tests and the fuzz target's first inputs both
// start from: buckets made from values, lists of integer buckets, and the worked example of
// a record.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ObjBuckt.h"
#include "ObjList.h"

namespace baslink::testing {

template <class Bucket, class Value>
std::unique_ptr<Bucket> MakeBucket(Value value) {
    return std::make_unique<Bucket>(static_cast<std::uint16_t>(sizeof value), &value);
}

// A list of that kind holding an integer bucket for each value, added in turn.
template <class List>
std::unique_ptr<List> IntegerList(const std::vector<int>& values) {
    auto list = std::make_unique<List>(TIntegerBucket::StaticClass(), CompareIntegerBucket);
    for (int value : values) {
        auto item = MakeBucket<TIntegerBucket>(value);
        list->Add(item.get());
        item.release();
    }
    return list;
}

// The record of an integer bucket holding 1.
inline const std::string kWorkedExample(
    "TPF0\x06\x0ETIntegerBucket\x01\x00\x02\x04\x01\x00\x00\x00", 28);

}  // namespace baslink::testing
