// SimulatorClass, output side and manager link: the members that forward to
// the ReportOutput and ManagerLink components, and the redirect they hand
// back to the driver.
#include <ostream>

#include "output/SimMgrMessages.h"
#include "simulator/SimulatorClass.h"

ReportContext SimulatorClass::Reports() const {
  ReportContext context;
  context.clientId = clientId;
  context.experiment = experiment;
  context.reportSize = reportSize;
  context.numPVs = numPVs;
  context.elapsedSeconds = elapsedSeconds;
  context.socket = simMgrSocket;
  return context;
}

DataPacket* SimulatorClass::CreateDataPacket(int variableCount) {
  return ReportOutput::CreateDataPacket(variableCount, Reports());
}

int SimulatorClass::CheckReportSize(double elapsed) {
  if (simMgrSocket != nullptr) ListenToSimMgr(simMgrSocket);
  return QueueReport(elapsed, Reports(), *this);
}

int SimulatorClass::OutputThreadFunc() { return ReportOutput::OutputThreadFunc(Reports(), *this); }

void* SimulatorClass::StaticOutputThreadFunc(void* simulator) {
  SimulatorClass* self = static_cast<SimulatorClass*>(simulator);
  while (self->runState != 2) self->OutputThreadFunc();
  return nullptr;
}

int SimulatorClass::Output(VelmorSocket* socket, std::ostream* stream, const double* values,
                           int count) {
  return ReportOutput::Output(socket, stream, values, count, *this);
}

int SimulatorClass::OutputInt(VelmorSocket* socket, std::ostream* stream, int value) {
  return ReportOutput::OutputInt(socket, stream, value, *this);
}

int SimulatorClass::OutputShort(VelmorSocket* socket, std::ostream* stream, short value) {
  return ReportOutput::OutputShort(socket, stream, value, *this);
}

int SimulatorClass::OutputByte(VelmorSocket* socket, std::ostream* stream, unsigned char value) {
  return ReportOutput::OutputByte(socket, stream, value, *this);
}

int SimulatorClass::OutputCPUTime(VelmorSocket* socket, double seconds) {
  return ReportOutput::OutputCPUTime(socket, seconds, Reports(), *this);
}

void SimulatorClass::OutputDataBinary(VelmorSocket* socket, std::ostream* stream, DataPacket* first,
                                      DataPacket* second) {
  ReportOutput::OutputDataBinary(socket, stream, first, second, Reports(), *this);
}

std::ofstream* SimulatorClass::CreateASCIIFile(const char* name) {
  return ReportOutput::CreateASCIIFile(name, experiment);
}

std::ofstream* SimulatorClass::CreateBinFile(const char* name) {
  return ReportOutput::CreateBinFile(name, experiment);
}

void* SimulatorClass::StaticSocketThreadFunc(void* simulator) {
  static_cast<SimulatorClass*>(simulator)->SocketThreadFunc();
  return nullptr;
}

int SimulatorClass::SocketThreadFunc() {
  return ManagerLink::SocketThreadFunc(&port, *this, redirect);
}

VelmorSocket* SimulatorClass::WaitForSimMgrConnection(int timeoutMillis) {
  return ManagerLink::WaitForSimMgrConnection(timeoutMillis, &port, *this);
}

int SimulatorClass::ListenToSimMgr(VelmorSocket* socket) {
  return ManagerLink::ListenToSimMgr(socket, *this, redirect);
}

int SimulatorClass::ListenToSimMgrLoop(VelmorSocket* socket) {
  return ManagerLink::ListenToSimMgrLoop(socket, *this, redirect);
}

void SimulatorClass::Redirect::ApplyRedirect(const RedirectRequest& request) {
  sim->TakeRedirect(request, sim->experiment, &sim->binaryFileName, &sim->maxBatches);
}
