// The framework's error reports: exact lines on standard error and which of
// them end the process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/ErrorReports.h"

namespace {

std::string StderrOf(const std::function<void()>& report) {
  testing::internal::CaptureStderr();
  report();
  return testing::internal::GetCapturedStderr();
}

TEST(ErrorReportsTest, ReturningReportsWriteTheirFixedLine) {
  EXPECT_EQ("Memory Error\n", StderrOf(MemoryError));
  EXPECT_EQ("This program has entered into an inconsistant state. Please report this bug.\n",
            StderrOf(InconsistantState));
  EXPECT_EQ("A user error has been detected\n", StderrOf(UserError));
  EXPECT_EQ("ArrayType is not valid\n", StderrOf(InvalidArrayType));
  EXPECT_EQ("ArrayType is invalid for unordered element\n", StderrOf(InvalidUnorderedType));
}

TEST(ErrorReportsTest, SyncErrorsJoinPiecesWithoutSpaceAndKeepLeadingSpace) {
  EXPECT_EQ("You can only synchronize actions from one type,either exponential or instantenous\n",
            StderrOf(SyncError::WrongDistributionType));
  EXPECT_EQ(" no Action found in model\n", StderrOf(SyncError::NoAction));
}

TEST(ErrorReportsTest, ParameterTextIsJoinedDirectly) {
  EXPECT_EQ("place: Parameter was an empty reference\n",
            StderrOf([] { ErrorEmptyParameter("place"); }));
  EXPECT_EQ(
      "Array out of bounds error at Array out of bounds (BaseGroupClass::setMember()\n",
      StderrOf([] { ArrayOutOfBoundsError("Array out of bounds (BaseGroupClass::setMember()"); }));
}

TEST(ErrorReportsTest, MismatchReportsWriteThreeLines) {
  EXPECT_EQ("Array types for equivalence sharing do not match for state variables: \n  x\n  y\n",
            StderrOf([] { ArrayTypeMismatchError("x", "y"); }));
  EXPECT_EQ("Struct types for equivalence sharing do not match for state variables: \n  a\n  b\n",
            StderrOf([] { StructTypeMismatchError("a", "b"); }));
}

TEST(ErrorReportsDeathTest, MemoryAllocationErrorWritesBothLinesThenExitsWithOne) {
  EXPECT_EXIT(MemoryAllocationError(), testing::ExitedWithCode(1),
              testing::StrEq("Insufficient Memory to allocate dynamic data structures from heap "
                             "memory\nExiting program...\n"));
}

TEST(ErrorReportsDeathTest, InvalidStructTypeStopsAtOnceAfterItsLine) {
  // The stop is an abort: killed by a signal, never a normal exit status.
  EXPECT_EXIT(InvalidStructType(), testing::KilledBySignal(SIGABRT),
              testing::StartsWith("ArrayType is invalid for struct element\n"));
}

}  // namespace
