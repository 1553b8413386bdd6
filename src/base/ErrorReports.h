// ErrorReports: the framework's fixed error messages on standard error.
// Each report writes its lines and flushes; only MemoryAllocationError and
// InvalidStructType end the process. Thread-safe as far as stdio is.
#ifndef VELMOR_BASE_ERRORREPORTS_H
#define VELMOR_BASE_ERRORREPORTS_H

// "Insufficient Memory to allocate dynamic data structures from heap
// memory", "Exiting program...", then exit status 1. Callers never resume.
[[noreturn]] void MemoryAllocationError();

// Makes every allocation that finds no memory (plain new, new[], the
// standard containers, and nothrow new too) end the process through
// MemoryAllocationError instead of throwing std::bad_alloc.
void InstallMemoryExhaustionHandler();
// A failed allocation whose site has its own wording: the report line, then
// (when thenGeneric) the two lines above, then exit status 1. Callers never
// resume.
[[noreturn]] void MemoryAllocationError(const char* report, bool thenGeneric);

// "Memory Error".
void MemoryError();

// what, directly followed by ": Parameter was an empty reference".
void ErrorEmptyParameter(const char* what);

// Reports about synchronised actions.
namespace SyncError {
// "You can only synchronize actions from one type,either exponential or
// instantenous" (one line).
void WrongDistributionType();
// " no Action found in model" (leading space kept).
void NoAction();
}  // namespace SyncError

// "This program has entered into an inconsistant state. Please report this bug."
void InconsistantState();

// "A user error has been detected".
void UserError();

// The sentence, then "  a" and "  b" on lines of their own.
void ArrayTypeMismatchError(const char* a, const char* b);
void StructTypeMismatchError(const char* a, const char* b);

// "ArrayType is not valid".
void InvalidArrayType();

// "ArrayType is invalid for struct element", then an immediate abnormal
// stop (abort, no cleanup): the model definition itself is broken.
[[noreturn]] void InvalidStructType();

// "ArrayType is invalid for unordered element".
void InvalidUnorderedType();

// "Array out of bounds error at " directly followed by where.
void ArrayOutOfBoundsError(const char* where);

#endif  // VELMOR_BASE_ERRORREPORTS_H
