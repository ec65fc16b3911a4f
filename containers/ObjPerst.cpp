#include "ObjPerst.h"

#include <memory>
#include <utility>

#include "ContainerErrors.h"
#include "ObjBuckt.h"
#include "ObjCmp.h"

namespace baslink {
namespace {

// The registries, each made at its first use and freed by FreeRegistries. Plain pointers,
// constant-initialised, so nothing depends on the order in which static objects come and go.
TUnorderedList* streamableClasses = nullptr;
TUnorderedList* compareFuncs = nullptr;
TUnorderedList* hashFuncs = nullptr;

TUnorderedList& Registry(TUnorderedList*& slot, TClassRef entryClass, TCompareFunc byName) {
    if (slot == nullptr) {
        slot = std::make_unique<TUnorderedList>(entryClass, byName).release();
    }
    return *slot;
}

void FreeRegistry(TUnorderedList*& slot) {
    std::unique_ptr<TUnorderedList> registry(std::exchange(slot, nullptr));
}

// Procedure addresses are kept in buckets, one per procedure, in the given order.
template <class Proc>
void AddProcBuckets(TUnorderedList& list, std::initializer_list<Proc> procs) {
    for (Proc proc : procs) {
        auto bucket = std::make_unique<TBucket>(sizeof proc, &proc);
        list.Add(bucket.get());
        bucket.release();
    }
}

template <class Proc>
Proc ProcOfVersion(TUnorderedList& list, std::uint16_t version) {
    if (version < 1 || version > list.Count()) {
        RaiseClassVersionNotRegistered();
    }
    Proc proc = nullptr;
    static_cast<const TBucket*>(list.GetItem(version))->GetData(&proc);
    return proc;
}

// A new entry is its own probe: it goes in after the cursor unless its name is taken.
template <class Entry>
void AddUnlessNameTaken(TUnorderedList& registry, std::unique_ptr<Entry> entry,
                        void (*raiseDuplicate)()) {
    if (registry.Search(entry.get(), 1)) {
        raiseDuplicate();
    }
    registry.Add(entry.get());
    entry.release();
}

template <class Entry>
Entry& FindByName(TUnorderedList& registry, const Entry& probe, void (*raiseMissing)()) {
    if (!registry.Search(&probe, 1)) {
        raiseMissing();
    }
    return static_cast<Entry&>(*registry.GetCurrent());
}

template <class Entry>
std::uint8_t CompareNames(const TObject* item1, const TObject* item2) {
    return CompareStrings(CheckedCast<Entry>(item1).Name, CheckedCast<Entry>(item2).Name);
}

}  // namespace

TStreamableInterface::TStreamableInterface(TClassRef cls,
                                           std::initializer_list<TReadProc> readProcs,
                                           std::initializer_list<TWriteProc> writeProcs)
    : Name(cls->Name()),
      ClassRef(cls),
      ReadProcs(TBucket::StaticClass(), CompareLess),
      WriteProcs(TBucket::StaticClass(), CompareLess),
      Version(static_cast<std::uint16_t>(writeProcs.size())) {
    AddProcBuckets(ReadProcs, readProcs);
    AddProcBuckets(WriteProcs, writeProcs);
}

TReadProc TStreamableInterface::GetReadProc(std::uint16_t version) {
    return ProcOfVersion<TReadProc>(ReadProcs, version);
}

TWriteProc TStreamableInterface::GetWriteProc(std::uint16_t version) {
    return ProcOfVersion<TWriteProc>(WriteProcs, version);
}

TCompareFuncEntry::TCompareFuncEntry(std::string name, TCompareFunc func)
    : Name(std::move(name)), Func(func) {}

std::uint8_t CompareStreamableNames(const TObject* item1, const TObject* item2) {
    return CompareNames<TStreamableInterface>(item1, item2);
}

std::uint8_t CompareCompareFuncNames(const TObject* item1, const TObject* item2) {
    return CompareNames<TCompareFuncEntry>(item1, item2);
}

std::uint8_t CompareHashFuncNames(const TObject* item1, const TObject* item2) {
    return CompareNames<THashFuncEntry>(item1, item2);
}

TUnorderedList& StreamableClasses() {
    return Registry(streamableClasses, TStreamableInterface::StaticClass(), CompareStreamableNames);
}

TUnorderedList& CompareFuncs() {
    return Registry(compareFuncs, TCompareFuncEntry::StaticClass(), CompareCompareFuncNames);
}

TUnorderedList& HashFuncs() {
    return Registry(hashFuncs, THashFuncEntry::StaticClass(), CompareHashFuncNames);
}

void RegisterStreamableClass(TClassRef cls, std::initializer_list<TReadProc> readProcs,
                             std::initializer_list<TWriteProc> writeProcs) {
    AddUnlessNameTaken(StreamableClasses(),
                       std::make_unique<TStreamableInterface>(cls, readProcs, writeProcs),
                       RaiseDuplicateRegisteredClass);
}

TStreamableInterface& GetStreamableInterface(std::string_view name) {
    TStreamableInterface probe(TObject::StaticClass(), {}, {});
    probe.Name = name;
    return FindByName(StreamableClasses(), probe, RaiseClassNotRegistered);
}

TClassRef GetRegisteredClass(std::string_view name) {
    return GetStreamableInterface(name).ClassRef;
}

void RegisterCompareFunc(std::string_view name, TCompareFunc func) {
    AddUnlessNameTaken(CompareFuncs(), std::make_unique<TCompareFuncEntry>(std::string(name), func),
                       RaiseDuplicateCompareFunc);
}

TCompareFunc GetCompareFunc(std::string_view name) {
    const TCompareFuncEntry probe{std::string(name), nullptr};
    return FindByName(CompareFuncs(), probe, RaiseCompareFuncNotRegistered).Func;
}

std::string GetCompareFuncName(TCompareFunc func) {
    std::string name;
    TUnorderedList& registry = CompareFuncs();
    if (registry.First()) {
        do {
            const auto& entry = static_cast<const TCompareFuncEntry&>(*registry.GetCurrent());
            if (entry.Func == func) {
                name = entry.Name;
                break;
            }
        } while (registry.Next());
    }
    if (name.empty()) {
        RaiseCompareFuncNotRegistered();
    }
    return name;
}

void FreeRegistries() {
    FreeRegistry(hashFuncs);
    FreeRegistry(compareFuncs);
    FreeRegistry(streamableClasses);
}

}  // namespace baslink
