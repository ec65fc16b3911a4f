#pragma once
// The root of the class tree. Every class of the library, and every class kept in its
// containers, derives from TObject and declares itself with BASLINK_CLASS, which gives it
// its class reference, its name text and its place under its parent.

#include <memory>
#include <string_view>
#include <type_traits>

#include "Exception.h"
#include "ObjType.h"

namespace baslink {

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;

    static TClassRef StaticClass() noexcept;
    // The class this object was made as.
    virtual TClassRef ClassType() const noexcept;

    std::string_view ClassName() const noexcept { return ClassType()->Name(); }
    // True when this object is an instance of `ancestor` or of a class derived from it.
    bool InheritsFrom(TClassRef ancestor) const noexcept {
        return ClassType()->InheritsFrom(ancestor);
    }
};

// Raised when an object is taken for an instance of a class it does not belong to.
class EInvalidCast : public Exception {
public:
    EInvalidCast();
};

// Raises EInvalidCast unless `object` is an instance of `cls` or of a class derived from it
// (none is an instance of nothing).
void CheckInstanceOf(const TObject* object, TClassRef cls);

// `object` as a T, after CheckInstanceOf.
template <class T>
T& CheckedCast(TObject* object) {
    CheckInstanceOf(object, T::StaticClass());
    return static_cast<T&>(*object);
}

template <class T>
const T& CheckedCast(const TObject* object) {
    CheckInstanceOf(object, T::StaticClass());
    return static_cast<const T&>(*object);
}

// Only concrete classes with a public default constructor can be made from their reference.
template <class T>
constexpr TClassInfo::Maker MakerFor() noexcept {
    if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>) {
        return nullptr;
    } else {
        return []() -> std::unique_ptr<TObject> { return std::make_unique<T>(); };
    }
}

}  // namespace baslink

// Declares a class of the tree: the first line of its body, with the class's own
// (unqualified) name and its direct base. Leaves the access at public.
#define BASLINK_CLASS(Class, Parent)                                                       \
public:                                                                                    \
    static ::baslink::TClassRef StaticClass() noexcept {                                   \
        static_assert(std::is_base_of_v<Parent, Class>, #Parent " is no base of " #Class); \
        static const ::baslink::TClassInfo info(#Class, Parent::StaticClass(),             \
                                                ::baslink::MakerFor<Class>());             \
        return &info;                                                                      \
    }                                                                                      \
    ::baslink::TClassRef ClassType() const noexcept override {                             \
        return StaticClass();                                                              \
    }
