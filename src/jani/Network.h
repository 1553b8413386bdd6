// Network: the JANI automata network as the importer reads it, with every
// expression resolved and every name given its model-file spelling.
// Plain data; not thread-safe.
#ifndef VELMOR_JANI_NETWORK_H
#define VELMOR_JANI_NETWORK_H

#include <string>
#include <vector>

#include "jani/Expr.h"
#include "jani/Symbols.h"

namespace velmor::jani {

struct Assignment {
  int target = -1;  // a Variable symbol
  ExprP value;
  int index = 0;  // assignments run by ascending index, simultaneous within one
  std::string path;
};

struct Destination {
  int location = 0;   // index in the automaton's locations
  ExprP probability;  // null means 1
  std::vector<Assignment> assignments;
  std::vector<Assignment> transients;  // target a Transient symbol: its value in the transition
};

struct Edge {
  int source = 0;
  std::string action;  // empty: silent
  ExprP rate;          // null: instantaneous (Markov automata only)
  ExprP guard;         // null means true
  std::vector<Destination> destinations;
  std::string path;  // "automata/1/edges/4"
  int number = 0;    // position in the automaton's edge list
};

// One element of the system composition: an automaton with its own copy of
// the local variables.
struct Instance {
  std::string name;         // model-file spelling, used in activity names
  std::string janiName;     // the automaton's JANI name
  int locationSymbol = -1;  // -1 when the automaton has one location
  std::vector<std::string> locations;
  int initial = 0;
  std::vector<Edge> edges;
};

struct SyncVector {
  std::vector<std::string> actions;  // per element; empty: not taking part
  std::string result;
  std::string path;
};

struct Network {
  std::string name;       // as in the file
  std::string modelName;  // model-file spelling
  std::string submodel;   // the one submodel's name
  std::string type;       // "ctmc" or "ma"
  SymbolTable symbols;
  std::vector<int> constants;  // declaration order
  std::vector<int> places;     // variables and locations, in place order
  std::vector<Instance> instances;
  std::vector<SyncVector> syncs;

  // Declares a place of the importer's own (a latch, a counter, a
  // temporary) holding 0 to upper, starting at 0; returns its symbol.
  int AddHelperPlace(const std::string& placeName, const std::string& comment, double upper = 1) {
    Symbol s;
    s.kind = Symbol::Kind::Helper;
    s.name = placeName;
    s.upper = upper;
    s.comment = comment;
    const int id = symbols.Add(s);
    places.push_back(id);
    return id;
  }
};

}  // namespace velmor::jani

#endif  // VELMOR_JANI_NETWORK_H
