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
    HashFuncs();  // made here, and stays empty: nothing registers a hash function
    RegisterPlatformClasses();
}

void StopContainerLibrary() {
    FreeRegistries();
}

}  // namespace baslink
