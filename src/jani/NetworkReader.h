// NetworkReader: reads a JANI document into a Network (constants, variables,
// automata per system element, synchronisation vectors). Not thread-safe.
#ifndef VELMOR_JANI_NETWORKREADER_H
#define VELMOR_JANI_NETWORKREADER_H

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "jani/ExprReader.h"
#include "jani/Names.h"
#include "jani/Network.h"

namespace velmor::jani {

// Points to the document, the network it fills and the name registry (all
// must outlive it). Throws JaniError at the first construct outside the
// subset. `constants` are the values given on the command line, by JANI
// name (text as typed).
class NetworkReader {
 public:
  NetworkReader(const nlohmann::json& doc, Network& net, NameRegistry& names,
                const std::map<std::string, std::string>& constants);
  void Read();
  ExprReader& exprs() { return exprs_; }

 private:
  void ReadHeader();
  void ReadConstants();
  void ReadVariable(const nlohmann::json& v, const std::string& path, const std::string& prefix,
                    std::map<std::string, int>& scope);
  void ReadFunctions(const nlohmann::json& owner, const std::string& path,
                     std::map<std::string, FunctionDef>& into);
  void ReadSystem();
  void ReadLocations(size_t element);
  void ComputeTransients();
  void ReadEdges(size_t element);
  Edge ReadEdge(const nlohmann::json& e, const std::string& path, const Instance& inst);
  Destination ReadDestination(const nlohmann::json& d, const std::string& path,
                              const Instance& inst);
  void EnterInstance(size_t element);
  int Lookup(const std::string& name) const;  // local, then global; -1 if none

  const nlohmann::json& doc_;
  Network& net_;
  NameRegistry& names_;
  const std::map<std::string, std::string>& given_;
  ExprReader exprs_;
  std::vector<const nlohmann::json*> automata_;  // per element
  std::vector<std::string> automatonPaths_;
  std::vector<std::map<std::string, int>> localScopes_;
  std::vector<std::map<std::string, FunctionDef>> localFunctions_;
  // transient symbol -> (element, per-location value or null)
  std::map<int, std::vector<std::pair<size_t, std::vector<ExprP>>>> transientSets_;
};

}  // namespace velmor::jani

#endif  // VELMOR_JANI_NETWORKREADER_H
