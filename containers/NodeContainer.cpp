#include "NodeContainer.h"

#include "ContainerErrors.h"

namespace baslink {

TNode::~TNode() {
    delete Item;
}

TNodeContainer::TNodeContainer(TClassRef itemClass, TCompareFunc compareFunc)
    : TContainer(itemClass) {
    CompareFunc = compareFunc;
}

TObject* TNodeContainer::GetCurrent() const {
    if (CurrentNode == nullptr) {
        RaiseContainerIsEmpty();
    }
    return CurrentNode->Item;
}

void TNodeContainer::SetCurrent(TObject* item) {
    if (CurrentNode == nullptr) {
        RaiseContainerIsEmpty();
    }
    // Handed the item it already holds, an owning list would otherwise free what it keeps.
    if (CurrentNode->Item == item) {
        return;
    }
    FreeItem(CurrentNode->Item);
    CurrentNode->Item = item;
}

void TNodeContainer::DeleteCurrent() {
    FreeItem(ExtractCurrent());
}

void TNodeContainer::CheckSearchArguments(const TObject* item, std::int32_t occurrence) const {
    CheckItemType(item);
    if (occurrence < 1) {
        RaiseInvalidOccurrenceSought();
    }
}

}  // namespace baslink
