#pragma once
// Nodes, and the abstract container of nodes with its one cursor.

#include <cstdint>

#include "Container.h"

namespace baslink {

// A node holding one object. A node that is destroyed still holding its item frees it, so
// the lists detach an item before they destroy its node and let OwnsItems decide.
class TNode : public TObject {
    BASLINK_CLASS(TNode, TObject)

    TNode() = default;
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;
    ~TNode() override;

    TObject* Item = nullptr;
};

class TListNode : public TNode {
    BASLINK_CLASS(TListNode, TNode)

    TListNode* PrevNode = nullptr;  // none at the head
    TListNode* NextNode = nullptr;  // none at the tail
};

class TNodeContainer : public TContainer {
    BASLINK_CLASS(TNodeContainer, TContainer)

    // Raises EContainerIsEmpty when there is no cursor.
    virtual TObject* GetCurrent() const;
    // Puts `item` in the cursor's node, freeing the item it replaces when owned. No class
    // check and no re-sorting. Raises EContainerIsEmpty when there is no cursor.
    virtual void SetCurrent(TObject* item);
    // Moves the cursor to the index-th item (from 1) and returns it; raises EInvalidIndex
    // outside 1..Count.
    virtual TObject* GoTo(std::int32_t index) = 0;
    virtual void Add(TObject* item) = 0;
    // Deletes the stored item that Search lands on; `item` is only the key.
    virtual bool Remove(const TObject* item, std::int32_t occurrence) = 0;
    // Unlinks the cursor's item and hands it to the caller, never freeing it.
    virtual TObject* ExtractCurrent() = 0;
    virtual void DeleteCurrent();
    // Puts the cursor on the occurrence-th match; when there is none, leaves it where it was.
    virtual bool Search(const TObject* item, std::int32_t occurrence) = 0;
    virtual bool First() = 0;
    virtual bool Last() = 0;
    virtual bool Next() = 0;
    virtual bool Prev() = 0;

    TObject* GetItem(std::int32_t index) { return GoTo(index); }

protected:
    TNodeContainer(TClassRef itemClass, TCompareFunc compareFunc);

    // The checks every search makes, in this order, before it moves anything.
    void CheckSearchArguments(const TObject* item, std::int32_t occurrence) const;

    TNode* CurrentNode = nullptr;
};

}  // namespace baslink
