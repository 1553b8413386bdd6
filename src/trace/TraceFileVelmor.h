// TraceFileVelmor: the plain-text trace writer (header, batch marks, model
// state and firing records as readable lines). Simulation thread only.
#ifndef VELMOR_TRACE_TRACEFILEVELMOR_H
#define VELMOR_TRACE_TRACEFILEVELMOR_H

#include <iosfwd>

#include "trace/TraceFile.h"

class BaseStateVariableClass;

// Writes one line per record, each followed by a flush. The header, batch
// marks and state blocks are written at any level (the caller decides when
// to ask for a state); the firing and after lines need tracelevel::kFirings
// or more, the enabling- and affected-state blocks tracelevel::kChanges or
// more. Ownership of the stream as in TraceFile; the constructors with
// a file or a stream point `trout` at that stream (a null name or stream
// leaves `trout` as it was).
class TraceFileVelmor : public TraceFile {
 public:
  TraceFileVelmor();
  explicit TraceFileVelmor(const char* fileName);
  explicit TraceFileVelmor(std::ostream* stream);

  void printHeader(PVModel* model) override;
  void printFooter() override;
  void printInitialState(BaseModelClass* model) override;
  void printState(BaseModelClass* model) override;
  void printState(PVModel* model) override;
  void printFireAction(BaseActionClass* action, double time) override;
  void printPreFireAction(BaseActionClass* action) override;
  void printPostFireAction(BaseActionClass* action, BaseActionClass* completed) override;
  void newBatch() override;

 private:
  // One "<indent><prefix.>name = value" line.
  void printVariableLine(BaseStateVariableClass* sv, const char* indent);
  void printLeafLines(BaseStateVariableClass* sv, const char* indent);
};

#endif  // VELMOR_TRACE_TRACEFILEVELMOR_H
