#include "base/ErrorReports.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// Writes the pieces, a newline, and flushes: one report line.
void WriteLine(const char* first, const char* second = "") {
  std::fputs(first, stderr);
  std::fputs(second, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void WriteMismatch(const char* sentence, const char* a, const char* b) {
  WriteLine(sentence);
  WriteLine("  ", a != nullptr ? a : "");
  WriteLine("  ", b != nullptr ? b : "");
}

}  // namespace

void InstallMemoryExhaustionHandler() {
  std::set_new_handler([] { MemoryAllocationError(); });
}

void MemoryAllocationError() {
  WriteLine("Insufficient Memory to allocate dynamic data structures from heap memory");
  WriteLine("Exiting program...");
  std::exit(1);
}

void MemoryAllocationError(const char* report, bool thenGeneric) {
  WriteLine(report != nullptr ? report : "");
  if (thenGeneric) MemoryAllocationError();
  std::exit(1);
}

void MemoryError() { WriteLine("Memory Error"); }

void ErrorEmptyParameter(const char* what) {
  WriteLine(what != nullptr ? what : "", ": Parameter was an empty reference");
}

namespace SyncError {

void WrongDistributionType() {
  WriteLine("You can only synchronize actions from one type,",
            "either exponential or instantenous");
}

void NoAction() { WriteLine(" no Action found in model"); }

}  // namespace SyncError

void InconsistantState() {
  WriteLine("This program has entered into an inconsistant state. Please report this bug.");
}

void UserError() { WriteLine("A user error has been detected"); }

void ArrayTypeMismatchError(const char* a, const char* b) {
  WriteMismatch("Array types for equivalence sharing do not match for state variables: ", a, b);
}

void StructTypeMismatchError(const char* a, const char* b) {
  WriteMismatch("Struct types for equivalence sharing do not match for state variables: ", a, b);
}

void InvalidArrayType() { WriteLine("ArrayType is not valid"); }

void InvalidStructType() {
  WriteLine("ArrayType is invalid for struct element");
  std::abort();
}

void InvalidUnorderedType() { WriteLine("ArrayType is invalid for unordered element"); }

void ArrayOutOfBoundsError(const char* where) {
  WriteLine("Array out of bounds error at ", where != nullptr ? where : "");
}
