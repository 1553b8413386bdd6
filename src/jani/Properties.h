// Properties: turns JANI properties into reward variables, latch places and
// the instantaneous activities that set them. Not thread-safe.
#ifndef VELMOR_JANI_PROPERTIES_H
#define VELMOR_JANI_PROPERTIES_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "jani/Activities.h"
#include "jani/ExprReader.h"
#include "jani/Names.h"
#include "jani/Network.h"

namespace velmor::jani {

// How runs are shaped where a property does not say it.
struct MeasureOptions {
  double horizon = 1e6;           // unbounded properties: replications end by then at the latest
  double warmup = 1000;           // long-run averages: first batch starts here
  double batch = 1000;            // long-run averages: batch length
  std::vector<std::string> only;  // property names; empty: all
};

// A helper place that records that a path formula was decided: 0 open,
// 1 reached (the goal held), 2 failed (an until's left side broke first).
struct Latch {
  int place = -1;
  std::string name;  // of the property
  ExprP reach;       // goal
  ExprP fail;        // null: never fails
  bool unbounded = false;
  double opensAt = 0;  // a lower time bound: the goal counts from then on
  int window = -1;     // helper place set at opensAt
};

struct RewardVariable {
  std::string name;
  std::string kind;  // "instant", "interval" or "steady"
  double from = 0, to = 0;
  ExprP rate;
  std::string comment;
  bool timeBounded = false;  // its time points come from the property
  std::string property;      // the JANI property's name
  // (activity name, value): earned at each completion, over the marking it
  // leaves (rewards of transitions).
  std::vector<std::pair<std::string, ExprP>> impulses;
};

struct Measures {
  std::vector<Latch> latches;
  std::vector<RewardVariable> rewards;
  ExprP frozen;    // null: never; else the model stops once it holds
  int clock = -1;  // helper place set when the last time bound passes
  double clockAt = 0;
  // Step bounds: a helper place counting the model's transitions (every
  // activity of an edge, not the helpers), held at stepCap once it gets
  // there (one past the largest bound); -1 when no property has one.
  int steps = -1;
  int stepCap = 0;
};

// Reads doc["properties"] (those named in `options.only`, or all); `acts`
// are the model's activities, for rewards earned on transitions.
// Throws JaniError naming the property for anything outside the subset.
Measures ReadProperties(const nlohmann::json& doc, Network& net, const std::vector<Activity>& acts,
                        ExprReader& exprs, NameRegistry& names, const MeasureOptions& options);

}  // namespace velmor::jani

#endif  // VELMOR_JANI_PROPERTIES_H
