#include "ContainerLibrary.h"

#include "ListStreaming.h"
#include "ObjBuckt.h"
#include "ObjCmp.h"
#include "ObjPerst.h"
#include "PlatformStreaming.h"

namespace baslink {

void StartContainerLibrary() {
    RegisterStandardCompareFuncs();
    RegisterBucketClasses();
    RegisterBucketCompareFuncs();
    RegisterListClasses();
    StreamableClasses();
    CompareFuncs();
    HashFuncs();  // the only one still to be made
    RegisterPlatformClasses();
}

void StopContainerLibrary() {
    FreeRegistries();
}

}  // namespace baslink
