#include "ContainerErrors.h"

namespace baslink {

EInvalidObjectType::EInvalidObjectType() : Exception("Invalid object type in TContainer") {}
EContainerIsEmpty::EContainerIsEmpty() : Exception("TContainer is empty") {}
EInvalidIndex::EInvalidIndex() : Exception("Invalid index in TContainer") {}
EInvalidOccurrenceSought::EInvalidOccurrenceSought()
    : Exception("Invalid occurrence sought in TContainer") {}
EClassNotRegistered::EClassNotRegistered() : Exception("Class not registered") {}
ECompareFuncNotRegistered::ECompareFuncNotRegistered()
    : Exception("Compare function not registered") {}
EClassVersionNotRegistered::EClassVersionNotRegistered()
    : Exception("Class version not registered") {}
EDuplicateCompareFunc::EDuplicateCompareFunc() : Exception("Duplicate compare function") {}
EDuplicateRegisteredClass::EDuplicateRegisteredClass() : Exception("Duplicate registered class") {}

void RaiseInvalidObjectType() {
    throw EInvalidObjectType();
}
void RaiseContainerIsEmpty() {
    throw EContainerIsEmpty();
}
void RaiseInvalidIndex() {
    throw EInvalidIndex();
}
void RaiseInvalidOccurrenceSought() {
    throw EInvalidOccurrenceSought();
}
void RaiseClassNotRegistered() {
    throw EClassNotRegistered();
}
void RaiseCompareFuncNotRegistered() {
    throw ECompareFuncNotRegistered();
}
void RaiseClassVersionNotRegistered() {
    throw EClassVersionNotRegistered();
}
void RaiseDuplicateCompareFunc() {
    throw EDuplicateCompareFunc();
}
void RaiseDuplicateRegisteredClass() {
    throw EDuplicateRegisteredClass();
}

}  // namespace baslink
