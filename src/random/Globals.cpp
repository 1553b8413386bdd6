// Globals: the random layer's reset point.
#include "random/Globals.h"

#include "base/Allocate.h"
#include "random/LaggedFibonacci.h"
#include "random/UserDistributions.h"

void ResetRandomGlobals() {
  TheDistribution = &TheGenerator;
  TheGenerator.SetGenerator(Allocate<LaggedFibonacci>());
  LaggedFibonacci::readPosition = 0;
  TheGenerator.GetGenerator()->srnd(31415);
}
