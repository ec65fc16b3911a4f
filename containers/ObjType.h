#pragma once
// A class reference: the run-time description of one class of the library's class tree.
// Containers keep one to check what goes into them; the object stream names a class by it
// and makes new, empty instances from it.

#include <memory>
#include <string_view>

namespace baslink {

class TObject;

class TClassInfo {
public:
    // Makes a new, empty instance of the class; none for a class that cannot be made so
    // (an abstract class, or one without a default constructor).
    using Maker = std::unique_ptr<TObject> (*)();

    constexpr TClassInfo(std::string_view name, const TClassInfo* parent, Maker maker) noexcept
        : name_(name), parent_(parent), maker_(maker) {}
    // The description's address is the class's identity.
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    std::string_view Name() const noexcept { return name_; }
    const TClassInfo* Parent() const noexcept { return parent_; }

    // True when this class is `ancestor` or is derived from it; false for no ancestor.
    bool InheritsFrom(const TClassInfo* ancestor) const noexcept;

    bool CanCreate() const noexcept { return maker_ != nullptr; }
    // A new, empty instance, or none when the class cannot be made (see CanCreate).
    std::unique_ptr<TObject> NewInstance() const;

private:
    std::string_view name_;
    const TClassInfo* parent_;
    Maker maker_;
};

// A class reference is a value; none (nullptr) stands for no class.
using TClassRef = const TClassInfo*;

}  // namespace baslink
