#pragma once
// The library's three process-wide registries, each an owning unordered list of entries
// keyed by a case-sensitive name:
//  - StreamableClasses: the classes the object stream writes and reads back, each with its
//    read and write procedures by version;
//  - CompareFuncs: named compare functions, so that a container's compare function can be
//    kept in a stream by its name;
//  - HashFuncs: created and freed with the others; nothing adds to it.
// Every lookup moves the registry's cursor, so the registries serve one thread at a time.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "ObjList.h"

namespace baslink {

class TObjectReader;
class TObjectWriter;

// Fills the new, empty object `obj` from the stream.
using TReadProc = void (*)(TObject* obj, TObjectReader& reader);
// Writes the payload of `obj`.
using TWriteProc = void (*)(TObject* obj, TObjectWriter& writer);

class TStreamableInterface : public TObject {
    BASLINK_CLASS(TStreamableInterface, TObject)

    // Procedure i of each list serves version i (from 1). Version is the number of write
    // procedures: the version written for the class.
    TStreamableInterface(TClassRef cls, std::initializer_list<TReadProc> readProcs,
                         std::initializer_list<TWriteProc> writeProcs);

    // Both raise EClassVersionNotRegistered for version 0 or a version above the number of
    // procedures, and otherwise move that list's cursor to the procedure.
    TReadProc GetReadProc(std::uint16_t version);
    TWriteProc GetWriteProc(std::uint16_t version);

    std::string Name;
    TClassRef ClassRef;
    // One bucket per procedure, holding its address.
    TUnorderedList ReadProcs;
    TUnorderedList WriteProcs;
    std::uint16_t Version;
};

class TCompareFuncEntry : public TObject {
    BASLINK_CLASS(TCompareFuncEntry, TObject)

    TCompareFuncEntry(std::string name, TCompareFunc func);

    std::string Name;
    TCompareFunc Func;
};

using THashFunc = void (*)();

class THashFuncEntry : public TObject {
    BASLINK_CLASS(THashFuncEntry, TObject)

    std::string Name;
    THashFunc Func = nullptr;
};

// Each creates its registry at its first call and returns the same one afterwards.
TUnorderedList& StreamableClasses();
TUnorderedList& CompareFuncs();
TUnorderedList& HashFuncs();

// Raises EDuplicateRegisteredClass when a class of the same name is registered already.
void RegisterStreamableClass(TClassRef cls, std::initializer_list<TReadProc> readProcs,
                             std::initializer_list<TWriteProc> writeProcs);
// Found by name (the cursor stays on it), or EClassNotRegistered (the cursor stays put).
TStreamableInterface& GetStreamableInterface(std::string_view name);
TClassRef GetRegisteredClass(std::string_view name);

// Raises EDuplicateCompareFunc when the name is registered already; one function may be
// registered under several names.
void RegisterCompareFunc(std::string_view name, TCompareFunc func);
// Raises ECompareFuncNotRegistered for a name no entry has.
TCompareFunc GetCompareFunc(std::string_view name);
// The name of the first entry, in registry order, holding that very function; raises
// ECompareFuncNotRegistered when there is none or that entry's name is empty.
std::string GetCompareFuncName(TCompareFunc func);

// Frees HashFuncs, CompareFuncs and StreamableClasses, in that order, with their entries.
void FreeRegistries();

// The compare functions of the three registries: their entries' names, by CompareStrings.
std::uint8_t CompareStreamableNames(const TObject* item1, const TObject* item2);
std::uint8_t CompareCompareFuncNames(const TObject* item1, const TObject* item2);
std::uint8_t CompareHashFuncNames(const TObject* item1, const TObject* item2);

}  // namespace baslink
