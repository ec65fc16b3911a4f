#pragma once
// The container library reports each misuse of a list or a registry by raising one of these
// classes, each with its fixed message. The library itself catches none of them.

#include "Exception.h"

namespace baslink {

class EInvalidObjectType : public Exception {
public:
    EInvalidObjectType();
};

class EContainerIsEmpty : public Exception {
public:
    EContainerIsEmpty();
};

class EInvalidIndex : public Exception {
public:
    EInvalidIndex();
};

class EInvalidOccurrenceSought : public Exception {
public:
    EInvalidOccurrenceSought();
};

class EClassNotRegistered : public Exception {
public:
    EClassNotRegistered();
};

class ECompareFuncNotRegistered : public Exception {
public:
    ECompareFuncNotRegistered();
};

class EClassVersionNotRegistered : public Exception {
public:
    EClassVersionNotRegistered();
};

class EDuplicateCompareFunc : public Exception {
public:
    EDuplicateCompareFunc();
};

class EDuplicateRegisteredClass : public Exception {
public:
    EDuplicateRegisteredClass();
};

[[noreturn]] void RaiseInvalidObjectType();
[[noreturn]] void RaiseContainerIsEmpty();
[[noreturn]] void RaiseInvalidIndex();
[[noreturn]] void RaiseInvalidOccurrenceSought();
[[noreturn]] void RaiseClassNotRegistered();
[[noreturn]] void RaiseCompareFuncNotRegistered();
[[noreturn]] void RaiseClassVersionNotRegistered();
[[noreturn]] void RaiseDuplicateCompareFunc();
[[noreturn]] void RaiseDuplicateRegisteredClass();

}  // namespace baslink
