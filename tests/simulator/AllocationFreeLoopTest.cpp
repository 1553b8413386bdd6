// Tests that the terminating loop allocates nothing once it is running:
// after the first replication (and the first report) every further
// replication, with its firings, reward accumulation, state restore,
// re-scheduling and reports, reuses what exists.
//
// This file replaces the global operator new and delete of the whole
// allocation_tests binary with versions that count the calls and then use
// malloc and free. The nothrow forms can also be made to refuse, to test
// what the system does when memory runs out.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "FrameworkFixture.h"
#include "framework/BaseActionClass.h"
#include "reward/PerformanceVariableNode.h"
#include "simulator/SimulatorClass.h"
#include "trace/TraceFile.h"
#include "trace/TraceFileContainer.h"

namespace {

std::atomic<long> allocationCount{0};
std::atomic<bool> refuseNothrow{false};  // nothrow operator new returns null

void* CountedAlloc(std::size_t n) noexcept {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(n == 0 ? 1 : n);
}

void* CountedAlignedAlloc(std::size_t n, std::align_val_t align) noexcept {
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  void* p = nullptr;
  std::size_t a = static_cast<std::size_t>(align);
  if (a < sizeof(void*)) a = sizeof(void*);
  if (posix_memalign(&p, a, n == 0 ? 1 : n) != 0) return nullptr;
  return p;
}

// Out of line so the compiler does not pair an inlined operator new with
// this free and warn about a mismatch that the replacement makes correct.
__attribute__((noinline)) void Release(void* p) noexcept { std::free(p); }

void* OrThrow(void* p) {
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t n) { return OrThrow(CountedAlloc(n)); }
void* operator new[](std::size_t n) { return OrThrow(CountedAlloc(n)); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return refuseNothrow ? nullptr : CountedAlloc(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return refuseNothrow ? nullptr : CountedAlloc(n);
}
void* operator new(std::size_t n, std::align_val_t a) { return OrThrow(CountedAlignedAlloc(n, a)); }
void* operator new[](std::size_t n, std::align_val_t a) {
  return OrThrow(CountedAlignedAlloc(n, a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return CountedAlignedAlloc(n, a);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return CountedAlignedAlloc(n, a);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }

namespace {

long Allocations() { return allocationCount.load(std::memory_order_relaxed); }

// Keeps the compiler from eliding a new/delete pair in the self-check.
void* volatile escape = nullptr;

// A trace writer that writes nothing and notes the allocation count at
// every batch mark. The terminating loop marks once before the first
// replication and once after the firings of each replication, so
// marks[k] - marks[j] counts what replications j+1..k allocated (with the
// tail of replication j: its reward completion, report and state restore).
// Holds a fixed array so that marking allocates nothing.
class AllocationProbe : public TraceFile {
 public:
  static constexpr int kMaxMarks = 256;
  void newBatch() override {
    if (count < kMaxMarks) marks[count] = Allocations();
    ++count;
  }
  long marks[kMaxMarks] = {};
  int count = 0;
};

class AllocationFreeLoopTest : public FrameworkFixture {
 protected:
  void SetUp() override {
    FrameworkFixture::SetUp();
    base = ::testing::TempDir() + "velmor_alloc_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override {
    delete sim;
    sim = nullptr;
    std::remove((base + ".txt").c_str());
    std::remove((base + ".bin").c_str());
    FrameworkFixture::TearDown();
  }

  // Builds the test model's simulator from `options` (after the program
  // name), attaches the probe and runs it; standard output is kept in out.
  void Run(std::vector<std::string> options) {
    options.insert(options.begin(), "velmor_test_model_sim");
    std::vector<char*> argv;
    for (std::string& word : options) argv.push_back(&word[0]);
    ::testing::internal::CaptureStdout();
    sim = new SimulatorClass(static_cast<int>(argv.size()), argv.data());
    sim->traceContainer->AddTraceFile(&probe);
    runAllocations = Allocations();
    sim->Run();
    runAllocations = Allocations() - runAllocations;
    out = ::testing::internal::GetCapturedStdout();
  }

  long Between(int from, int to) const { return probe.marks[to] - probe.marks[from]; }

  std::string base;
  SimulatorClass* sim = nullptr;
  AllocationProbe probe;
  long runAllocations = 0;
  std::string out;
};

// Without this the other tests would pass with a counter that never counts.
TEST_F(AllocationFreeLoopTest, CounterSeesEveryKindOfNew) {
  long before = Allocations();
  escape = new int(1);
  delete static_cast<int*>(escape);
  escape = new double[3];
  delete[] static_cast<double*>(escape);
  escape = new (std::nothrow) char(2);
  delete static_cast<char*>(escape);
  std::vector<long> grown;
  grown.reserve(10);
  EXPECT_EQ(Allocations() - before, 4);
}

class AllocationFreeByOptions : public AllocationFreeLoopTest,
                                public ::testing::WithParamInterface<std::vector<std::string>> {};

// 40 replications reported once at the end (report size 1000): after the
// first replication nothing is allocated, whatever the experiment or
// generator.
TEST_P(AllocationFreeByOptions, ReplicationsAfterTheFirstAllocateNothing) {
  std::vector<std::string> options = GetParam();
  options.insert(options.end(), {"-N", "40"});
  Run(options);
  // One mark before the first replication and one per replication.
  ASSERT_EQ(probe.count, 41);
  // The machine ticks once per time unit, so every replication fires.
  EXPECT_GT(sim->actionsFired, 40);
  EXPECT_NE(out.find("Actions fired: " + std::to_string(sim->actionsFired) + "\n"),
            std::string::npos);
  EXPECT_EQ(Between(1, 40), 0) << "allocations in replications 2 to 40";
}

INSTANTIATE_TEST_SUITE_P(ExperimentsAndGenerators, AllocationFreeByOptions,
                         ::testing::Values(std::vector<std::string>{"-e", "0"},
                                           std::vector<std::string>{"-e", "1", "-r", "1"},
                                           std::vector<std::string>{"-e", "0", "-r", "2", "-s",
                                                                    "7"}));

// With report size 1 the first ten reports are each written at once (both
// results files), and their packets go back to the free pool: reports 2 to
// 9 and the replications around them allocate nothing. The first report
// may set up buffers, so it is left out.
TEST_F(AllocationFreeLoopTest, WrittenReportsReuseTheirPackets) {
  Run({"-n", "1", "-N", "10", "-a", base + ".txt", "-b", base + ".bin"});
  ASSERT_EQ(probe.count, 11);
  EXPECT_EQ(Between(2, 10), 0) << "allocations in replications 3 to 10";
}

// The whole run, set-up and last report included, costs the same number of
// allocations for 3 replications as for 120: nothing grows with the number
// of replications.
TEST_F(AllocationFreeLoopTest, RunAllocationsDoNotGrowWithReplications) {
  Run({"-N", "3", "-a", base + ".txt"});
  long few = runAllocations;
  delete sim;
  sim = nullptr;
  probe.count = 0;
  ResetRewardGlobals();
  ResetFrameworkCounters();
  Run({"-N", "120", "-a", base + ".txt"});
  EXPECT_EQ(probe.count, 121);
  EXPECT_EQ(runAllocations, few);
}

// A node of an affects list that cannot be had ends the run with the
// connectivity list's error, instead of being left out of the list.
TEST(AllocationFailureDeathTest, AffectsNodeThatCannotBeHadEndsTheRun) {
  SimulatorClass sim(SimulatorClass::FieldsOnly{});
  BaseActionClass group;
  BaseActionClass action;
  EXPECT_EXIT(
      {
        refuseNothrow = true;
        const int result = sim.AddActionAffects(&group, &action);
        refuseNothrow = false;
        std::exit(result == 0 && action.affectsList != nullptr ? 0 : 2);
      },
      testing::ExitedWithCode(1), "^Error Generating Connectivity List\n$");
  EXPECT_EQ(sim.AddActionAffects(&group, &action), 0);  // with memory: linked
  ASSERT_NE(action.affectsList, nullptr);
  EXPECT_EQ(action.affectsList->action, &group);
  sim.ClearActionAffectsList(&action);
}

}  // namespace
