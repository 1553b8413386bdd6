// TraceFileContainer: the fan-out writer the simulator talks to; forwards
// each call to every writer added, in the order added. Simulation thread only.
#ifndef VELMOR_TRACE_TRACEFILECONTAINER_H
#define VELMOR_TRACE_TRACEFILECONTAINER_H

#include <vector>

#include "trace/TraceFile.h"

// Holds the writers of a run and the reward model whose header, state and
// initial state they print. Does not own the writers nor the reward model;
// both must outlive the container's use. The container applies no level of
// its own: each writer filters by its level.
// Invariant: writers are never removed; the order of calls on the writers is
// the order of AddTraceFile.
class TraceFileContainer : public TraceFile {
 public:
  // Length of the buffer that printf formats into; longer text is cut to
  // kTextBufferSize - 1 characters.
  static constexpr int kTextBufferSize = 1024;

  TraceFileContainer();

  void AddTraceFile(TraceFile* writer);
  // Writers stay for the whole run: this leaves the writer in place.
  void RemoveTraceFile(TraceFile* writer);
  void addPVModel(PVModel* model);

  // Forms with the remembered reward model (or null when none was given).
  void printHeader();
  void printState();
  void printInitialState();

  // The forms of the writer interface that take a model do nothing here:
  // the container prints only through the remembered reward model.
  using TraceFile::printInitialState;
  void printHeader(PVModel* model) override;
  void printState(BaseModelClass* model) override;
  void printState(PVModel* model) override;

  void printFooter() override;
  void newBatch() override;
  void printFireAction(BaseActionClass* action, double time) override;
  void printPreFireAction(BaseActionClass* action) override;
  void printPostFireAction(BaseActionClass* action, BaseActionClass* completed) override;
  // Formats once (cut at kTextBufferSize - 1 characters), then hands the
  // text to every writer's printStr.
  void printf(int level, const char* format, ...) override __attribute__((format(printf, 3, 4)));
  void printStr(int level, const char* text) override;

 private:
  PVModel* pvModel;                 // not owned; null until addPVModel
  std::vector<TraceFile*> writers;  // not owned
};

#endif  // VELMOR_TRACE_TRACEFILECONTAINER_H
