#include "ListStreaming.h"

#include <memory>
#include <string>

#include "ObjList.h"
#include "ObjPerst.h"
#include "ObjectStream.h"

namespace baslink {

void WriteContainer(TContainer& container, TObjectWriter& writer) {
    const TClassRef itemClass = container.GetItemClass();
    writer.WriteString(itemClass != nullptr ? itemClass->Name() : std::string_view());
    writer.WriteString(GetCompareFuncName(container.GetCompareFunc()));
}

void ReadContainer(TContainer& container, TObjectReader& reader) {
    const std::string itemClassName = reader.ReadString();
    container.ItemClass = GetRegisteredClass(itemClassName);
    const std::string compareFuncName = reader.ReadString();
    container.CompareFunc = GetCompareFunc(compareFuncName);
    container.OwnsItems = true;
}

void WriteNodeContainer(TNodeContainer& container, TObjectWriter& writer) {
    WriteContainer(container, writer);
    const std::int32_t count = container.Count();
    writer.WriteInteger(count);
    // Exactly Count items, also from a circular list, whose Next never reports an end.
    container.First();
    for (std::int32_t written = 0; written < count; ++written) {
        if (written > 0) {
            container.Next();
        }
        WriteNestedObject(writer, container.GetCurrent());
    }
}

void ReadNodeContainer(TNodeContainer& container, TObjectReader& reader) {
    ReadContainer(container, reader);
    const std::int32_t count = reader.ReadInteger();
    for (std::int32_t read = 0; read < count; ++read) {
        std::unique_ptr<TObject> item = ReadNestedObject(reader);
        container.Add(item.get());  // an item the list refuses is freed here
        item.release();
    }
}

void ReadList(TObject* obj, TObjectReader& reader) {
    TOrderedList& list = CheckedCast<TOrderedList>(obj);
    // Emptied rather than cut loose from its nodes, so that nothing it held leaks.
    list.Clear();
    ReadNodeContainer(list, reader);
}

void WriteList(TObject* obj, TObjectWriter& writer) {
    WriteNodeContainer(CheckedCast<TOrderedList>(obj), writer);
}

void RegisterListClasses() {
    for (TClassRef cls : {TOrderedList::StaticClass(), TUnorderedList::StaticClass(),
                          TCircularList::StaticClass()}) {
        RegisterStreamableClass(cls, {ReadList}, {WriteList});
    }
}

}  // namespace baslink
