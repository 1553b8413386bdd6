// TraceFile: the base writer and the process-wide trace globals.
#include "trace/TraceFile.h"

#include <fstream>
#include <iostream>

#include "base/Allocate.h"
#include "trace/TraceModelView.h"

int TraceLevel = 1;
std::ostream* trout = &std::cout;

TraceFile::TraceFile() : traceLevel(1), out(nullptr), ownedFile(nullptr) { TraceLevel = 1; }

TraceFile::TraceFile(const char* fileName) : traceLevel(1), out(nullptr), ownedFile(nullptr) {
  if (fileName == nullptr) return;  // no name: a writer that writes nowhere
  ownedFile = Allocate<std::ofstream>(fileName, std::ios::out | std::ios::trunc);
  out = ownedFile;
}

TraceFile::TraceFile(std::ostream* stream) : traceLevel(1), out(stream), ownedFile(nullptr) {}

TraceFile::~TraceFile() {
  // A plain-text writer may have pointed trout at this stream.
  if (out != nullptr && trout == out) trout = &std::cout;
  delete ownedFile;
}

bool TraceFile::IsWritable() const { return out != nullptr && out->good(); }

void TraceFile::printHeader(PVModel*) {}
void TraceFile::printFooter() {}
void TraceFile::printInitialState(BaseModelClass*) {}
void TraceFile::printState(BaseModelClass*) {}

void TraceFile::printState(PVModel* model) {
  if (model != nullptr) printState(traceview::TopModel(model));
}

void TraceFile::printFireAction(BaseActionClass*, double) {}
void TraceFile::printPreFireAction(BaseActionClass*) {}
void TraceFile::printPostFireAction(BaseActionClass*, BaseActionClass*) {}
void TraceFile::newBatch() {}
void TraceFile::printf(int, const char*, ...) {}
void TraceFile::printStr(int, const char*) {}

void TraceFile::setTraceLevel(int level) {
  traceLevel = level;
  TraceLevel = level;
}
