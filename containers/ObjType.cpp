#include "ObjType.h"

#include "ObjBase.h"

namespace baslink {

bool TClassInfo::InheritsFrom(const TClassInfo* ancestor) const noexcept {
    for (const TClassInfo* cls = this; cls != nullptr; cls = cls->parent_) {
        if (cls == ancestor) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<TObject> TClassInfo::NewInstance() const {
    return maker_ ? maker_() : nullptr;
}

}  // namespace baslink
