// libFuzzer target: the object stream's reader on arbitrary bytes. Whatever the bytes,
// reading raises one of the library's errors or gives objects that write and read back;
// a crash, a leak, a sanitizer report or an abort here is a fault.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "ContainerLibrary.h"
#include "ObjectStream.h"

namespace {

using namespace baslink;

void RequireWrittenFormReadsBack(TObject* obj) {
    TMemoryStream copy;
    TObjectStream objects(copy);
    WriteObject(objects, obj);
    copy.SetPosition(0);
    ReadObject(objects);
    if (copy.GetPosition() != copy.GetSize()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartContainerLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMemoryStream input;
    input.WriteBuffer(data, size);
    input.SetPosition(0);
    TObjectStream objects(input);
    // Record after record, as a program reading a file of them would.
    while (input.GetPosition() < input.GetSize()) {
        std::unique_ptr<TObject> obj;
        try {
            obj = ReadObject(objects);
        } catch (const Exception&) {
            break;
        }
        RequireWrittenFormReadsBack(obj.get());
    }
    if (objects.Depth != 0 || objects.Reader != nullptr) {
        std::abort();
    }
    return 0;
}
