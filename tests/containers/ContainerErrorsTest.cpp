#include <gtest/gtest.h>

#include <exception>
#include <string>

#include "ContainerErrors.h"
#include "ListTestSupport.h"

namespace baslink {
namespace {

using testing::ExpectRaises;

TEST(ContainerErrors, EachRoutineRaisesItsOwnClassWithItsFixedMessage) {
    ExpectRaises<EInvalidObjectType>(RaiseInvalidObjectType, "Invalid object type in TContainer");
    ExpectRaises<EContainerIsEmpty>(RaiseContainerIsEmpty, "TContainer is empty");
    ExpectRaises<EInvalidIndex>(RaiseInvalidIndex, "Invalid index in TContainer");
    ExpectRaises<EInvalidOccurrenceSought>(RaiseInvalidOccurrenceSought,
                                           "Invalid occurrence sought in TContainer");
    ExpectRaises<EClassNotRegistered>(RaiseClassNotRegistered, "Class not registered");
    ExpectRaises<ECompareFuncNotRegistered>(RaiseCompareFuncNotRegistered,
                                            "Compare function not registered");
    ExpectRaises<EClassVersionNotRegistered>(RaiseClassVersionNotRegistered,
                                             "Class version not registered");
    ExpectRaises<EDuplicateCompareFunc>(RaiseDuplicateCompareFunc, "Duplicate compare function");
    ExpectRaises<EDuplicateRegisteredClass>(RaiseDuplicateRegisteredClass,
                                            "Duplicate registered class");
    // Through the common base, as std::exception.
    ExpectRaises<Exception>(RaiseInvalidIndex, "Invalid index in TContainer");
}

}  // namespace
}  // namespace baslink
