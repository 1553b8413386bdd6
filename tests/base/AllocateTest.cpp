// Tests of the allocation and owned-string helpers: constructor arguments
// and zeroing on success, and on failure the generic memory report or the
// site's own line, then status 1. Failure comes from a type whose nothrow
// operator new refuses every request.
#include <gtest/gtest.h>

#include <string>

#include "base/Allocate.h"
#include "base/OwnedString.h"

namespace {

struct Pair {
  Pair(int a, std::string b) : first(a), second(std::move(b)) {}
  int first;
  std::string second;
};

// Every nothrow allocation of this type fails.
struct Refused {
  static void* operator new(size_t, const std::nothrow_t&) noexcept { return nullptr; }
  static void* operator new[](size_t, const std::nothrow_t&) noexcept { return nullptr; }
  static void operator delete(void*) noexcept {}
  static void operator delete[](void*) noexcept {}
  int value = 0;
};

const char kGeneric[] =
    "^Insufficient Memory to allocate dynamic data structures from heap memory\n"
    "Exiting program...\n$";

TEST(AllocateTest, ObjectsAreConstructedAndZeroedArraysAreZero) {
  Pair* pair = Allocate<Pair>(3, std::string("three"));
  EXPECT_EQ(pair->first, 3);
  EXPECT_EQ(pair->second, "three");
  delete pair;
  int* zeroed = AllocateZeroedArray<int>(5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(zeroed[i], 0);
  delete[] zeroed;
  double** none = AllocateZeroedArray<double*>(0);  // one slot for no elements
  EXPECT_EQ(none[0], nullptr);
  delete[] none;
}

TEST(OwnedStringTest, CopiesAreIndependentAndNullStaysNull) {
  char text[] = "flash_rep";
  char* copy = CopyOwnedString(text);
  text[0] = 'X';
  EXPECT_STREQ(copy, "flash_rep");
  ReleaseOwnedString(copy);
  EXPECT_EQ(CopyOwnedString(nullptr), nullptr);
  ReleaseOwnedString(nullptr);
  char* empty = CopyOwnedString("", AllocationSite{"unused"});
  EXPECT_STREQ(empty, "");
  ReleaseOwnedString(empty);
}

TEST(AllocateDeathTest, FailuresUseTheGenericReportOrTheSiteLine) {
  EXPECT_EXIT(Allocate<Refused>(), testing::ExitedWithCode(1), kGeneric);
  EXPECT_EXIT(AllocateArray<Refused>(4), testing::ExitedWithCode(1), kGeneric);
  EXPECT_EXIT(AllocateZeroedArray<Refused>(4), testing::ExitedWithCode(1), kGeneric);
  // A site's own line alone, or followed by the generic report.
  const AllocationSite alone{"!! Memory allocation error in Test::Site()", false};
  const char kAlone[] = "^!! Memory allocation error in Test::Site\\(\\)\n$";
  EXPECT_EXIT(Allocate<Refused>(alone), testing::ExitedWithCode(1), kAlone);
  EXPECT_EXIT(AllocateArray<Refused>(4, alone), testing::ExitedWithCode(1), kAlone);
  const AllocationSite first{"Not Enough Memory"};
  const std::string kFirst = std::string("^Not Enough Memory\n") + (kGeneric + 1);
  EXPECT_EXIT(AllocateZeroedArray<Refused>(4, first), testing::ExitedWithCode(1), kFirst);
}

}  // namespace
