#pragma once
// The node lists: doubly linked lists of TListNode with one cursor.
//  - TOrderedList keeps its items sorted by the compare function.
//  - TUnorderedList inserts right after the cursor and searches by equality alone.
//  - TCircularList is an unordered list whose cursor wraps around at both ends; the nodes
//    themselves are never closed into a ring.
// Without a compare function, searches find nothing and the ordered Add appends at the tail.

#include <cstdint>

#include "NodeContainer.h"

namespace baslink {

class TOrderedList : public TNodeContainer {
    BASLINK_CLASS(TOrderedList, TNodeContainer)

    explicit TOrderedList(TClassRef itemClass = nullptr, TCompareFunc compareFunc = nullptr);
    ~TOrderedList() override;

    // Both visit each item once, head to tail, and leave the cursor on the tail.
    void ForEach(TForEachProc proc, void* userData) override;
    void ForEachMethod(const TForEachMethod& method, void* arg) override;
    // Frees owned items from head to tail.
    void Clear() override;
    TObject* GoTo(std::int32_t index) override;
    // Places `item` before the first item equal to or greater than it, so the newest of
    // equal items comes first.
    void Add(TObject* item) override;
    bool Remove(const TObject* item, std::int32_t occurrence) override;
    // The cursor moves to the node that followed the one taken out, or to the new tail when
    // the tail was taken out.
    TObject* ExtractCurrent() override;
    // Lands on the occurrence-th item that is equal to or greater than `item`, and succeeds
    // only when that one is equal.
    bool Search(const TObject* item, std::int32_t occurrence) override;
    bool First() override;
    bool Last() override;
    bool Next() override;
    bool Prev() override;

protected:
    TListNode* Cursor() const noexcept { return static_cast<TListNode*>(CurrentNode); }
    // Links a new node holding `item` between two neighbours (either none at an end), puts
    // the cursor on it and counts it.
    void InsertBetween(TObject* item, TListNode* prev, TListNode* next);

    TListNode* LastNode = nullptr;
    TListNode* FirstNode = nullptr;

private:
    // The ordered walk shared by Add and Search: leaves the cursor on the occurrence-th
    // node whose item is equal to or greater than `item`, or on none past the tail.
    bool Locate(const TObject* item, std::int32_t occurrence);
    template <class Visitor>
    void VisitEachOnce(const Visitor& visit);
};

class TUnorderedList : public TOrderedList {
    BASLINK_CLASS(TUnorderedList, TOrderedList)

    using TOrderedList::TOrderedList;

    // Inserts right after the cursor; the compare function is not used.
    void Add(TObject* item) override;
    // Counts only items the compare function calls equal.
    bool Search(const TObject* item, std::int32_t occurrence) override;
};

class TCircularList : public TUnorderedList {
    BASLINK_CLASS(TCircularList, TUnorderedList)

    using TUnorderedList::TUnorderedList;

    // From the tail to the head, and back; false only on an empty list.
    bool Next() override;
    bool Prev() override;
};

}  // namespace baslink
