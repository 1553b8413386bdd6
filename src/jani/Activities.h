// Activities: turns the network's edges into model activities — one per
// silent edge and one per synchronised combination of edges — with their
// guards, rates, cases and ordered assignments. Not thread-safe.
#ifndef VELMOR_JANI_ACTIVITIES_H
#define VELMOR_JANI_ACTIVITIES_H

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "jani/Names.h"
#include "jani/Network.h"

namespace velmor::jani {

// One store into a place: `value` stored as variable `encodeAs` stores it
// (bounds checked, offset applied). With `fromTemp` >= 0 the step copies that
// helper place (which already holds the encoded value) into the target;
// helpers keep simultaneous assignments simultaneous.
struct Step {
  int target = -1;
  ExprP value;
  int encodeAs = -1;
  int fromTemp = -1;
};

struct Case {
  ExprP weight;  // null means 1
  std::vector<Step> steps;
  // The transient variables the case's edges assign (symbol -> value over
  // the state before the transition, the path of the assignment).
  std::map<int, std::pair<ExprP, std::string>> transients;
};

// Invariant: `instant` exactly when `rate` is null.
struct Activity {
  std::string name;
  std::string comment;  // the JANI edges it stands for
  bool instant = false;
  ExprP guard;  // includes the source locations
  ExprP rate;
  std::vector<Case> cases;
  std::vector<std::pair<int, int>> sources;  // (element, source location)
  std::vector<std::string> edgePaths;
};

// Builds every activity. Adds the helper places it needs to `net`.
// Throws JaniError on conflicting assignments or on Markovian edges that
// synchronise with instantaneous ones.
std::vector<Activity> BuildActivities(Network& net, NameRegistry& names);

// Markov automata: throws JaniError when two instantaneous activities of
// one location are always enabled together; returns the pairs whose guards
// may overlap (checked while the model runs).
std::vector<std::pair<size_t, size_t>> InstantConflicts(const Network& net,
                                                        const std::vector<Activity>& acts);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_ACTIVITIES_H
