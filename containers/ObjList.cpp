#include "ObjList.h"

#include <memory>
#include <utility>

#include "ContainerErrors.h"

namespace baslink {

TOrderedList::TOrderedList(TClassRef itemClass, TCompareFunc compareFunc)
    : TNodeContainer(itemClass, compareFunc) {}

TOrderedList::~TOrderedList() {
    Clear();
}

template <class Visitor>
void TOrderedList::VisitEachOnce(const Visitor& visit) {
    if (!First()) {
        return;
    }
    // Stopping at the tail is what Next reports anyway, except on a circular list, whose
    // Next never reports an end.
    do {
        visit(GetCurrent());
    } while (CurrentNode != LastNode && Next());
}

void TOrderedList::ForEach(TForEachProc proc, void* userData) {
    if (proc == nullptr) {
        return;
    }
    VisitEachOnce([&](TObject* item) { proc(item, userData); });
}

void TOrderedList::ForEachMethod(const TForEachMethod& method, void* arg) {
    if (!method) {
        return;
    }
    VisitEachOnce([&](TObject* item) { method(item, arg); });
}

void TOrderedList::Clear() {
    while (FirstNode != nullptr) {
        std::unique_ptr<TListNode> node(FirstNode);
        CurrentNode = FirstNode;
        FirstNode = FirstNode->NextNode;
        FreeItem(std::exchange(node->Item, nullptr));
    }
    ItemCount = 0;
    LastNode = nullptr;
    CurrentNode = nullptr;
}

TObject* TOrderedList::GoTo(std::int32_t index) {
    const std::int32_t count = Count();
    if (index < 1 || index > count) {
        RaiseInvalidIndex();
    }
    // Strictly below half: in a list of 4, index 2 is reached from the tail.
    if (index < count / 2) {
        First();
        for (std::int32_t step = 1; step < index; ++step) {
            Next();
        }
    } else {
        Last();
        for (std::int32_t step = index; step < count; ++step) {
            Prev();
        }
    }
    return GetCurrent();
}

bool TOrderedList::Locate(const TObject* item, std::int32_t occurrence) {
    CheckSearchArguments(item, occurrence);
    // The walk runs on a local pointer, so a compare function that throws leaves the cursor
    // where it was. Without a compare function every item counts as less.
    TListNode* node = CompareFunc != nullptr ? FirstNode : nullptr;
    std::uint8_t code = 1;
    while (node != nullptr && occurrence > 0) {
        code = CompareFunc(item, node->Item);
        if (code == 0 || code == 1) {
            --occurrence;
        }
        if (occurrence > 0) {
            node = node->NextNode;
        }
    }
    CurrentNode = node;
    return code == 0 && occurrence == 0;
}

void TOrderedList::Add(TObject* item) {
    CheckItemType(item);
    Locate(item, 1);
    TListNode* const before = Cursor();
    InsertBetween(item, before != nullptr ? before->PrevNode : LastNode, before);
}

void TOrderedList::InsertBetween(TObject* item, TListNode* prev, TListNode* next) {
    auto owned = std::make_unique<TListNode>();
    TListNode* const node = owned.release();  // from here on the links own it
    node->Item = item;
    node->PrevNode = prev;
    node->NextNode = next;
    (prev != nullptr ? prev->NextNode : FirstNode) = node;
    (next != nullptr ? next->PrevNode : LastNode) = node;
    CurrentNode = node;
    ++ItemCount;
}

bool TOrderedList::Search(const TObject* item, std::int32_t occurrence) {
    TNode* const remembered = CurrentNode;
    const bool found = Locate(item, occurrence);
    if (!found) {
        CurrentNode = remembered;
    }
    return found;
}

bool TOrderedList::Remove(const TObject* item, std::int32_t occurrence) {
    CheckItemType(item);
    const bool found = Search(item, occurrence);
    if (found) {
        DeleteCurrent();
    }
    return found;
}

TObject* TOrderedList::ExtractCurrent() {
    if (CurrentNode == nullptr) {
        RaiseContainerIsEmpty();
    }
    std::unique_ptr<TListNode> node(Cursor());
    TObject* const item = std::exchange(node->Item, nullptr);
    if (Count() == 1) {
        FirstNode = nullptr;
        LastNode = nullptr;
        CurrentNode = nullptr;
    } else if (node.get() == LastNode) {
        LastNode = node->PrevNode;
        LastNode->NextNode = nullptr;
        CurrentNode = LastNode;
    } else if (node.get() == FirstNode) {
        FirstNode = node->NextNode;
        FirstNode->PrevNode = nullptr;
        CurrentNode = FirstNode;
    } else {
        node->PrevNode->NextNode = node->NextNode;
        node->NextNode->PrevNode = node->PrevNode;
        CurrentNode = node->NextNode;
    }
    --ItemCount;
    return item;
}

bool TOrderedList::First() {
    CurrentNode = FirstNode;
    return FirstNode != nullptr;
}

bool TOrderedList::Last() {
    CurrentNode = LastNode;
    return LastNode != nullptr;
}

bool TOrderedList::Next() {
    TListNode* const node = Cursor();
    if (node == nullptr || node->NextNode == nullptr) {
        return false;
    }
    CurrentNode = node->NextNode;
    return true;
}

bool TOrderedList::Prev() {
    TListNode* const node = Cursor();
    if (node == nullptr || node->PrevNode == nullptr) {
        return false;
    }
    CurrentNode = node->PrevNode;
    return true;
}

void TUnorderedList::Add(TObject* item) {
    CheckItemType(item);
    TListNode* const after = Cursor();
    InsertBetween(item, after, after != nullptr ? after->NextNode : nullptr);
}

bool TUnorderedList::Search(const TObject* item, std::int32_t occurrence) {
    CheckSearchArguments(item, occurrence);
    if (CompareFunc == nullptr) {
        return false;
    }
    TListNode* node = FirstNode;
    while (node != nullptr && occurrence > 0) {
        if (CompareFunc(item, node->Item) == 0) {
            --occurrence;
        }
        if (occurrence > 0) {
            node = node->NextNode;
        }
    }
    if (occurrence > 0) {
        return false;
    }
    CurrentNode = node;
    return true;
}

bool TCircularList::Next() {
    if (Count() == 0) {
        return false;
    }
    if (!TOrderedList::Next()) {
        First();
    }
    return true;
}

bool TCircularList::Prev() {
    if (Count() == 0) {
        return false;
    }
    if (!TOrderedList::Prev()) {
        Last();
    }
    return true;
}

}  // namespace baslink
