#include "ObjBase.h"

namespace baslink {

EInvalidCast::EInvalidCast() : Exception("Object is not of the expected class") {}

void CheckInstanceOf(const TObject* object, TClassRef cls) {
    if (object == nullptr || !object->InheritsFrom(cls)) {
        throw EInvalidCast();
    }
}

TClassRef TObject::StaticClass() noexcept {
    static const TClassInfo info("TObject", nullptr, MakerFor<TObject>());
    return &info;
}

TClassRef TObject::ClassType() const noexcept {
    return StaticClass();
}

}  // namespace baslink
