// TraceFile: the interface of every trace writer, plus the process-wide
// trace stream `trout` and level `TraceLevel`. Simulation thread only.
#ifndef VELMOR_TRACE_TRACEFILE_H
#define VELMOR_TRACE_TRACEFILE_H

#include <iosfwd>

class BaseActionClass;
class BaseModelClass;
class PVModel;

// The last level given to any writer by `setTraceLevel` (or by a default
// construction). Nothing in the simulator reads it.
extern int TraceLevel;
// The stream of the latest plain-text writer; standard output until one is
// constructed, and again after that writer is destroyed.
extern std::ostream* trout;

// What each trace level adds; a level above the last writes as the last,
// and a level below kFirings writes only the header and the batch marks.
namespace tracelevel {
// The header, the batch marks and the footer: the default.
constexpr int kMarks = 1;
// One firing record per firing: its time, the activity and the case.
constexpr int kFirings = 2;
// With each firing, the values the firing reads and changes; the initial
// state of each replication.
constexpr int kChanges = 3;
// With each firing, the whole model state after it.
constexpr int kFullState = 4;
}  // namespace tracelevel

// Base of all trace writers: a level and a stream. Every operation of the
// base writes nothing, except that printState(PVModel*) forwards the reward
// model's top model to printState(BaseModelClass*).
// Owns the file stream it opens when constructed with a file name (closed
// by the destructor); only points to a stream handed to it.
// Invariant: stream() is null only for a default-constructed writer or one
// given no name or stream, and every writer does nothing when it is.
class TraceFile {
 public:
  TraceFile();
  // A file that cannot be created leaves the stream in the failed state;
  // nothing is reported and the output is lost.
  explicit TraceFile(const char* fileName);
  explicit TraceFile(std::ostream* stream);
  TraceFile(const TraceFile&) = delete;  // may own its file stream
  TraceFile& operator=(const TraceFile&) = delete;
  virtual ~TraceFile();

  virtual void printHeader(PVModel* model);
  virtual void printFooter();
  virtual void printInitialState(BaseModelClass* model);
  virtual void printState(BaseModelClass* model);
  virtual void printState(PVModel* model);
  virtual void printFireAction(BaseActionClass* action, double time);
  virtual void printPreFireAction(BaseActionClass* action);
  virtual void printPostFireAction(BaseActionClass* action, BaseActionClass* completed);
  virtual void newBatch();
  // Free text; the concrete writers accept and discard it.
  virtual void printf(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  virtual void printStr(int level, const char* text);

  // Sets this writer's level and the process-wide TraceLevel.
  void setTraceLevel(int level);
  int getTraceLevel() const { return traceLevel; }
  // Whether the writer has a stream that takes what is written (a file
  // that could not be opened does not).
  bool IsWritable() const;

 protected:
  std::ostream* stream() const { return out; }

 private:
  int traceLevel;
  std::ostream* out;        // where the writer writes; null: nowhere
  std::ostream* ownedFile;  // the file opened by name, or null
};

#endif  // VELMOR_TRACE_TRACEFILE_H
