#pragma once
// Holds an object in static storage and never runs its destructor. For the driver's
// objects that a thread may still use while the process ends and static objects go:
// what such an object owns is released explicitly by the library's stop.

#include <utility>

namespace baslink {

template <typename T>
class NeverDestroyed {
public:
    template <typename... Args>
    explicit NeverDestroyed(Args&&... args) : object_(std::forward<Args>(args)...) {}
    ~NeverDestroyed() {}
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& get() { return object_; }

private:
    union {
        T object_;
    };
};

}  // namespace baslink
