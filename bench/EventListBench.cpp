// Micro-benchmarks of the future-event list and of Heap<T>: the cost of one
// hold operation (take the earliest, schedule it again later), of re-keying
// a random event, of removing and re-inserting a random event, and of a
// weighted tie, for lists of 16 to 4096 groups. The reported complexity
// should come out as logarithmic. Single-threaded.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "eventlist/Event.h"
#include "eventlist/EventList.h"
#include "eventlist/Heap.h"
#include "framework/BaseActionClass.h"
#include "random/UserDistributions.h"

namespace {

// A schedulable action with rank 1 and weight 1 and its own record, the
// least the event list needs of a group.
class BenchAction : public BaseActionClass {
 public:
  BenchAction() { setScheduleRecord(&record); }
  int Rank() override { return 1; }
  double Weight() override { return 1.0; }

  ScheduleRecord record;
};

// Precomputed pseudo-random numbers so the timed loops draw nothing; a
// power-of-two length lets the loops wrap with a mask.
constexpr int kTableSize = 1 << 16;

std::vector<double> ExponentialTable(uint32_t seed) {
  std::mt19937 engine(seed);
  std::exponential_distribution<double> delay(1.0);
  std::vector<double> table(kTableSize);
  for (double& d : table) d = delay(engine);
  return table;
}

std::vector<int> IndexTable(uint32_t seed, int n) {
  std::mt19937 engine(seed);
  std::uniform_int_distribution<int> pick(0, n - 1);
  std::vector<int> table(kTableSize);
  for (int& i : table) i = pick(engine);
  return table;
}

// n actions, each with one event at an exponential time in the list.
struct FilledList {
  explicit FilledList(int n) : list(n + 1) {
    std::vector<double> delays = ExponentialTable(7);
    for (int i = 0; i < n; ++i) {
      actions.emplace_back(new BenchAction());
      Event e(delays[i % kTableSize] * n, 0.0, actions.back().get());
      list.Insert(&e);
    }
  }
  std::vector<std::unique_ptr<BenchAction>> actions;
  EventList list;
};

void ListSizes(benchmark::internal::Benchmark* b) {
  b->RangeMultiplier(16)->Range(16, 4096)->Complexity(benchmark::oLogN);
}

// The classic hold model: fire the earliest event and schedule its group
// again at now + delay. One Earliest, one Remove and one Insert per
// iteration, as in a firing that reschedules only itself.
void BM_EventListHold(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  FilledList f(n);
  std::vector<double> delays = ExponentialTable(11);
  Event scratch;
  unsigned k = 0;
  for (auto _ : state) {
    Event** slot = f.list.Earliest();
    Event* e = *slot;
    double now = e->time;
    scratch = Event(now + delays[k++ & (kTableSize - 1)] * n, now, e->action);
    f.list.Remove(slot);
    f.list.Insert(&scratch);
  }
  benchmark::DoNotOptimize(f.list.Size());
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EventListHold)->Apply(ListSizes);

// Re-keys a random event to a new random time (a reactivation re-sample).
void BM_EventListModifyKey(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  FilledList f(n);
  std::vector<double> delays = ExponentialTable(13);
  std::vector<int> picks = IndexTable(17, n);
  unsigned k = 0;
  for (auto _ : state) {
    unsigned j = k++ & (kTableSize - 1);
    Event** slot = f.actions[picks[j]]->record.eventSlot;
    (*slot)->time = delays[j] * n;
    f.list.ModifyKey(slot);
  }
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EventListModifyKey)->Apply(ListSizes);

// Unschedules a random group and schedules it again (a group whose
// enabling changed and that is enabled again after the firing).
void BM_EventListRemoveInsert(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  FilledList f(n);
  std::vector<double> delays = ExponentialTable(19);
  std::vector<int> picks = IndexTable(23, n);
  Event scratch;
  unsigned k = 0;
  for (auto _ : state) {
    unsigned j = k++ & (kTableSize - 1);
    BenchAction* a = f.actions[picks[j]].get();
    f.list.Remove(a->record.eventSlot);
    scratch = Event(delays[j] * n, 0.0, a);
    f.list.Insert(&scratch);
  }
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EventListRemoveInsert)->Apply(ListSizes);

// Earliest without a tie: the root and its two children are compared.
void BM_EventListEarliest(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  FilledList f(n);
  for (auto _ : state) benchmark::DoNotOptimize(f.list.Earliest());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EventListEarliest)->Arg(16)->Arg(4096);

// Earliest when `ties` events share time and rank: one draw from the
// process-wide generator and a walk over the tied events.
void BM_EventListEarliestTie(benchmark::State& state) {
  int ties = static_cast<int>(state.range(0));
  EventList list(ties + 1);
  std::vector<std::unique_ptr<BenchAction>> actions;
  for (int i = 0; i < ties; ++i) {
    actions.emplace_back(new BenchAction());
    Event e(1.0, 0.0, actions.back().get());
    list.Insert(&e);
  }
  for (auto _ : state) benchmark::DoNotOptimize(list.Earliest());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EventListEarliestTie)->Arg(2)->Arg(16);

// Schedules a whole replication's worth of events and clears the list.
void BM_EventListFillAndClear(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  FilledList f(n);
  std::vector<double> delays = ExponentialTable(29);
  f.list.ClearEventList();
  Event scratch;
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) {
      scratch = Event(delays[i & (kTableSize - 1)], 0.0, f.actions[i].get());
      f.list.Insert(&scratch);
    }
    f.list.ClearEventList();
  }
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_EventListFillAndClear)->RangeMultiplier(16)->Range(16, 4096);

// Heap<T>::ChangeKey of a random owner, the steady-state loop's re-keying.
template <class T>
void BM_HeapChangeKey(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  Heap<T> heap(n);
  std::vector<double> keys = ExponentialTable(31);
  std::vector<int> picks = IndexTable(37, n);
  for (int i = 0; i < n; ++i) heap.Insert(static_cast<T>(keys[i] * n), i);
  unsigned k = 0;
  for (auto _ : state) {
    unsigned j = (k++ + static_cast<unsigned>(n)) & (kTableSize - 1);
    heap.ChangeKey(picks[j], static_cast<T>(keys[j] * n));
  }
  benchmark::DoNotOptimize(heap.Top());
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_HeapChangeKey, double)->Apply(ListSizes);
BENCHMARK_TEMPLATE(BM_HeapChangeKey, int)->Apply(ListSizes);

// Heap<T> as the steady-state loop uses it: the smallest key moves up by a
// batch length (every owner advances in turn).
template <class T>
void BM_HeapAdvanceTop(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  Heap<T> heap(n);
  for (int i = 0; i < n; ++i) heap.Insert(static_cast<T>(i % 7), i);
  for (auto _ : state) {
    int id = 0;
    T key = heap.Top(&id);
    heap.ChangeKey(id, static_cast<T>(key + 3));
  }
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_HeapAdvanceTop, double)->Apply(ListSizes);
BENCHMARK_TEMPLATE(BM_HeapAdvanceTop, int)->Apply(ListSizes);

}  // namespace
