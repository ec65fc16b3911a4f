#pragma once
// Items and helpers shared by the list tests: a numbered item that records when it is
// freed, a compare function over it, and readers of a list's contents.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ContainerErrors.h"
#include "ObjList.h"

namespace baslink::testing {

// Records the number of every item freed, in the order they were freed.
struct FreeLog {
    std::vector<int> freed;
};

class TNumber : public TObject {
    BASLINK_CLASS(TNumber, TObject)

    explicit TNumber(int value = 0, FreeLog* log = nullptr) : Value(value), log_(log) {}
    ~TNumber() override {
        if (log_ != nullptr) {
            log_->freed.push_back(Value);
        }
    }

    int Value;

private:
    FreeLog* log_;
};

// A class unrelated to TNumber, for the item class checks.
class TOther : public TObject {
    BASLINK_CLASS(TOther, TObject)
};

inline int ValueOf(const TObject* item) {
    return static_cast<const TNumber*>(item)->Value;
}

// Ascending by value.
inline std::uint8_t CompareNumbers(const TObject* item1, const TObject* item2) {
    const int a = ValueOf(item1);
    const int b = ValueOf(item2);
    return a == b ? 0 : (a < b ? 1 : 2);
}

// A ForEach procedure collecting the values into the std::vector<int> it is given.
inline void AppendValue(TObject* item, void* values) {
    static_cast<std::vector<int>*>(values)->push_back(ValueOf(item));
}

// Adds a new owned-by-the-list item; the item is freed here if the list rejects it.
inline TNumber* AddNumber(TNodeContainer& list, int value, FreeLog* log = nullptr) {
    auto item = std::make_unique<TNumber>(value, log);
    list.Add(item.get());
    return item.release();
}

// The values from head to tail. Moves the cursor; works on circular lists too.
inline std::vector<int> Values(TNodeContainer& list) {
    std::vector<int> values;
    if (list.First()) {
        for (std::int32_t i = 0; i < list.Count(); ++i) {
            values.push_back(ValueOf(list.GetCurrent()));
            list.Next();
        }
    }
    return values;
}

inline int CurrentValue(const TNodeContainer& list) {
    return ValueOf(list.GetCurrent());
}

// Runs `action`, expecting it to raise exactly `Error` with `message`.
template <class Error, class Action>
void ExpectRaises(Action action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "nothing was raised; expected: " << message;
    } catch (const Error& error) {
        EXPECT_EQ(message, error.what());
    } catch (const std::exception& other) {
        ADD_FAILURE() << "wrong error raised: " << other.what() << "; expected: " << message;
    }
}

}  // namespace baslink::testing
