#pragma once
// The stream form of the node lists: the item class and compare function by their
// registered names, the item count, then each item as a nested record, first to last.

#include "Container.h"
#include "NodeContainer.h"

namespace baslink {

class TObjectWriter;

// The item class name and the compare function's registered name. Writing raises
// ECompareFuncNotRegistered for a compare function no name is registered for (or none);
// reading raises EClassNotRegistered or ECompareFuncNotRegistered for unknown names.
void WriteContainer(TContainer& container, TObjectWriter& writer);
void ReadContainer(TContainer& container, TObjectReader& reader);

// The container part, the count and the items. Writing leaves the cursor on the last item.
// Reading puts each item in with the list's own Add, so an ordered list sorts them again.
void WriteNodeContainer(TNodeContainer& container, TObjectWriter& writer);
void ReadNodeContainer(TNodeContainer& container, TObjectReader& reader);

// The registered procedures of TOrderedList, TUnorderedList and TCircularList.
void ReadList(TObject* obj, TObjectReader& reader);
void WriteList(TObject* obj, TObjectWriter& writer);

// Registers the three list classes as streamable, in that order.
void RegisterListClasses();

}  // namespace baslink
