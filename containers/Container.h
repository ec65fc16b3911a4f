#pragma once
// The abstract base of every container: it checks what goes in against its item class and
// decides, through its ownership flag, whether the items it lets go of are freed.

#include <cstdint>
#include <functional>

#include "ObjBase.h"

namespace baslink {

class TObjectReader;

// Compare protocol: 0 when item1 equals item2, 1 when item1 is less, 2 when it is greater.
// A list passes the new or sought item as item1 and the stored one as item2.
using TCompareFunc = std::uint8_t (*)(const TObject* item1, const TObject* item2);

using TForEachProc = void (*)(TObject* item, void* userData);
// Bound to the object it is called on (a lambda capturing it, for one).
using TForEachMethod = std::function<void(TObject* item, void* arg)>;

class TContainer : public TObject {
    BASLINK_CLASS(TContainer, TObject)

    TContainer(const TContainer&) = delete;
    TContainer& operator=(const TContainer&) = delete;

    virtual std::int32_t Count() const;
    virtual bool IsEmpty() const;
    virtual bool GetOwnsItems() const;
    virtual void SetOwnsItems(bool value);
    virtual void ForEach(TForEachProc proc, void* userData) = 0;
    virtual void ForEachMethod(const TForEachMethod& method, void* arg) = 0;
    virtual void Clear() = 0;

    TClassRef GetItemClass() const noexcept { return ItemClass; }
    TCompareFunc GetCompareFunc() const noexcept { return CompareFunc; }

protected:
    explicit TContainer(TClassRef itemClass);

    // The object stream restores the item class and compare function from their names.
    friend void ReadContainer(TContainer& container, TObjectReader& reader);

    // Raises EInvalidObjectType unless `item` is set and is of the item class or one derived
    // from it. A container without an item class accepts nothing.
    void CheckItemType(const TObject* item) const;
    // Frees `item` when the container owns its items.
    void FreeItem(TObject* item);

    TClassRef ItemClass;
    TCompareFunc CompareFunc = nullptr;
    std::int32_t ItemCount = 0;
    bool OwnsItems = true;
};

}  // namespace baslink
