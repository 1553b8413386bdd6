// Running out of memory anywhere in a short run: the N-th allocation of the
// run is made to fail, for every N in turn, each run in a child process.
// Every such run must end with status 1 after the memory report (or the
// failed connectivity list), or be exactly the normal run; never an abort,
// a signal, or a different run that reports success. This binary replaces
// operator new, so it is a binary of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "RandomFixture.h"
#include "simulator/SimulatorMain.h"

namespace {

// The injection: counting starts when armed; allocation number failAt
// (1-based) fails as an exhausted heap would.
long long allocations = 0;
long long failAt = 0;  // 0: never
bool armed = false;

bool InjectFailure() {
  if (!armed) return false;
  ++allocations;
  return failAt != 0 && allocations == failAt;
}

// Out of line so the compiler does not pair an inlined operator new with
// this free and warn about a mismatch that the replacement makes correct.
__attribute__((noinline)) void Release(void* p) noexcept { std::free(p); }

}  // namespace

void* operator new(std::size_t size) {
  for (;;) {
    if (!InjectFailure()) {
      if (void* p = std::malloc(size > 0 ? size : 1)) return p;
    }
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Drops the lines whose value is the processor time.
std::string WithoutTimes(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (line.rfind("CPU time (s): ", 0) != 0 && line.find("Time=") == std::string::npos) {
      out += line + "\n";
    }
    start = end + 1;
  }
  return out;
}

struct Outcome {
  int status = -1;  // exit status, or 128 + signal
  std::string out, err, ascii, binary;
  long long allocations = 0;
};

// Runs the simulator on words in a child process, as its executable does,
// with allocation failAtN failing (0: none), in folder dir.
Outcome RunChild(const std::vector<std::string>& words, long long failAtN, const std::string& dir) {
  const std::string out = dir + "/out.txt", err = dir + "/err.txt", count = dir + "/count.txt";
  std::remove((dir + "/r.ascii").c_str());
  std::remove((dir + "/r.bin").c_str());
  std::cout.flush();
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr) ||
        chdir(dir.c_str()) != 0) {
      _exit(99);
    }
    std::vector<std::string> copy = words;
    copy.insert(copy.begin(), "sim");
    std::vector<char*> argv;
    for (std::string& w : copy) argv.push_back(&w[0]);
    failAt = failAtN;
    armed = true;
    const int status = SimulatorMain(static_cast<int>(argv.size()), argv.data());
    armed = false;
    std::cout.flush();
    std::fflush(nullptr);
    if (FILE* f = std::fopen(count.c_str(), "w")) {
      std::fprintf(f, "%lld", allocations);
      std::fclose(f);
    }
    _exit(status);
  }
  Outcome o;
  int raw = 0;
  waitpid(pid, &raw, 0);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  o.out = WithoutTimes(Read(out));
  o.err = Read(err);
  o.ascii = Read(dir + "/r.ascii");
  o.binary = Read(dir + "/r.bin");
  o.allocations = std::atoll(Read(count).c_str());
  return o;
}

const char kMemoryLines[] =
    "Insufficient Memory to allocate dynamic data structures from heap memory\n"
    "Exiting program...\n";

class AllocationFailureTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(AllocationFailureTest, EveryAllocationFailingEndsCleanlyOrChangesNothing) {
  // A folder of its own: the cases run in parallel processes.
  std::string pattern = ::testing::TempDir() + "velmor_alloc_fail_XXXXXX";
  ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
  const std::string dir = pattern;
  const Outcome normal = RunChild(GetParam(), 0, dir);
  ASSERT_EQ(normal.status, 0) << normal.err;
  ASSERT_GT(normal.allocations, 10);
  int cleanExits = 0;
  // Every one of the first 1000 allocations (construction and the first
  // replication), then 300 spread over the rest of the run.
  const long long stride = normal.allocations > 1000 ? (normal.allocations - 1000) / 300 + 1 : 1;
  for (long long n = 1; n <= normal.allocations; n += n < 1000 ? 1 : stride) {
    const Outcome o = RunChild(GetParam(), n, dir);
    if (o.status == 1) {
      const bool reported = o.err.find(kMemoryLines) != std::string::npos ||
                            o.err.find("Error Generating Connectivity List\n") != std::string::npos;
      EXPECT_TRUE(reported) << "allocation " << n << ": " << o.err;
      ++cleanExits;
    } else {
      ASSERT_EQ(o.status, 0) << "allocation " << n << " ended with " << o.status << ": " << o.err;
      EXPECT_EQ(o.out, normal.out) << "allocation " << n;
      EXPECT_EQ(o.ascii, normal.ascii) << "allocation " << n;
      EXPECT_EQ(o.binary, normal.binary) << "allocation " << n;
    }
    if (::testing::Test::HasFailure()) break;  // one fault is enough to see
  }
  EXPECT_GT(cleanExits, 0);
  std::system(("rm -rf " + dir).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    ShortRuns, AllocationFailureTest,
    ::testing::Values(std::vector<std::string>{"-N", "1"},
                      std::vector<std::string>{"-N", "2", "-n", "1", "-a", "r.ascii", "-b",
                                               "r.bin"},
                      std::vector<std::string>{"-t", "0", "-N", "2", "-a", "r.ascii"},
                      std::vector<std::string>{"-N", "1", "-m", "-f", "trace"}));

}  // namespace
