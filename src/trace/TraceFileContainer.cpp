// TraceFileContainer: the fan-out writer.
#include "trace/TraceFileContainer.h"

#include <cstdarg>
#include <cstdio>

#include "trace/TraceModelView.h"

TraceFileContainer::TraceFileContainer() : pvModel(nullptr) {}

void TraceFileContainer::AddTraceFile(TraceFile* writer) {
  if (writer != nullptr) writers.push_back(writer);
}

void TraceFileContainer::RemoveTraceFile(TraceFile*) {}

void TraceFileContainer::addPVModel(PVModel* model) { pvModel = model; }

void TraceFileContainer::printHeader() {
  for (TraceFile* w : writers) w->printHeader(pvModel);
}

void TraceFileContainer::printState() {
  for (TraceFile* w : writers) w->printState(pvModel);
}

void TraceFileContainer::printInitialState() {
  if (pvModel == nullptr) return;
  BaseModelClass* top = traceview::TopModel(pvModel);
  for (TraceFile* w : writers) w->printInitialState(top);
}

void TraceFileContainer::printHeader(PVModel*) {}
void TraceFileContainer::printState(BaseModelClass*) {}
void TraceFileContainer::printState(PVModel*) {}

void TraceFileContainer::printFooter() {
  for (TraceFile* w : writers) w->printFooter();
}

void TraceFileContainer::newBatch() {
  for (TraceFile* w : writers) w->newBatch();
}

void TraceFileContainer::printFireAction(BaseActionClass* action, double time) {
  for (TraceFile* w : writers) w->printFireAction(action, time);
}

void TraceFileContainer::printPreFireAction(BaseActionClass* action) {
  for (TraceFile* w : writers) w->printPreFireAction(action);
}

void TraceFileContainer::printPostFireAction(BaseActionClass* action, BaseActionClass* completed) {
  for (TraceFile* w : writers) w->printPostFireAction(action, completed);
}

void TraceFileContainer::printf(int level, const char* format, ...) {
  char text[kTextBufferSize];
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (written < 0) text[0] = '\0';  // an encoding error leaves no text
  for (TraceFile* w : writers) w->printStr(level, text);
}

void TraceFileContainer::printStr(int level, const char* text) {
  for (TraceFile* w : writers) w->printStr(level, text);
}
