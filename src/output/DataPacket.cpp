// DataPacket: allocation and release of the two arrays.
#include "output/DataPacket.h"

#include <climits>
#include <cstdlib>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"

DataPacket::DataPacket(int packetClientId, int packetExperiment, int packetVariableCount,
                       int packetCapacity)
    : clientId(packetClientId),
      experiment(packetExperiment),
      variableCount(packetVariableCount),
      capacity(packetCapacity),
      counts(nullptr),
      values(nullptr) {
  VELMOR_ASSERT(packetVariableCount >= 0 && packetCapacity >= 1, "DataPacket");
  // Elements are indexed by int (variable * capacity + k): a packet whose
  // element count does not fit cannot be used, so it is never made.
  const long long elements = static_cast<long long>(variableCount) * capacity;
  if (elements > INT_MAX) MemoryAllocationError();
  counts = static_cast<int*>(AllocateZeroedBlock(static_cast<size_t>(variableCount), sizeof(int)));
  values = static_cast<double*>(AllocateZeroedBlock(static_cast<size_t>(elements), sizeof(double)));
}

DataPacket::~DataPacket() {
  std::free(counts);
  std::free(values);
}

void DataPacket::SetAllCounts(int n) {
  for (int i = 0; i < variableCount; ++i) counts[i] = n;
}
