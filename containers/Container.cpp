#include "Container.h"

#include "ContainerErrors.h"

namespace baslink {

TContainer::TContainer(TClassRef itemClass) : ItemClass(itemClass) {}

std::int32_t TContainer::Count() const {
    return ItemCount;
}

bool TContainer::IsEmpty() const {
    return ItemCount == 0;
}

bool TContainer::GetOwnsItems() const {
    return OwnsItems;
}

void TContainer::SetOwnsItems(bool value) {
    OwnsItems = value;
}

void TContainer::CheckItemType(const TObject* item) const {
    if (item == nullptr || !item->InheritsFrom(ItemClass)) {
        RaiseInvalidObjectType();
    }
}

void TContainer::FreeItem(TObject* item) {
    if (GetOwnsItems()) {
        delete item;  // the container owned it; nothing else does
    }
}

}  // namespace baslink
