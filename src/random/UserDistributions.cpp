#include "random/UserDistributions.h"

#include <new>

#include "base/Allocate.h"
#include "base/ErrorReports.h"
#include "random/LaggedFibonacci.h"
#include "random/Tausworthe.h"

namespace {

RandomNumberGenerator* NewGenerator(int kind) {
  RandomNumberGenerator* made = nullptr;
  if (kind == 1) {
    made = Allocate<Tausworthe>();
  } else {
    made = Allocate<LaggedFibonacci>();
  }
  return made;
}

}  // namespace

UserDistributions::UserDistributions() { SetGenerator(NewGenerator(0)); }

UserDistributions::UserDistributions(int kind, long seed) {
  SetGenerator(NewGenerator(kind));
  GetGenerator()->srnd(static_cast<unsigned long>(seed));
}

UserDistributions TheGenerator(0, 31415);
UserDistributions* TheDistribution = &TheGenerator;
