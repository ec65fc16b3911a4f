#include "ObjBase.h"

namespace baslink {

TClassRef TObject::StaticClass() noexcept {
    static const TClassInfo info("TObject", nullptr, MakerFor<TObject>());
    return &info;
}

TClassRef TObject::ClassType() const noexcept {
    return StaticClass();
}

}  // namespace baslink
