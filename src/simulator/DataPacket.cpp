// DataPacket: allocation and release of the two arrays.
#include "simulator/DataPacket.h"

#include <cstddef>

#include "base/Assert.h"

DataPacket::DataPacket(int packetClientId, int packetExperiment, int packetVariableCount,
                       int packetCapacity)
    : clientId(packetClientId),
      experiment(packetExperiment),
      variableCount(packetVariableCount),
      capacity(packetCapacity),
      counts(nullptr),
      values(nullptr) {
  VELMOR_ASSERT(packetVariableCount >= 0 && packetCapacity >= 1, "DataPacket");
  const size_t rows = static_cast<size_t>(variableCount);
  counts = new int[rows > 0 ? rows : 1]();
  values = new double[(rows > 0 ? rows : 1) * static_cast<size_t>(capacity)]();
}

DataPacket::~DataPacket() {
  delete[] counts;
  delete[] values;
}

void DataPacket::SetAllCounts(int n) {
  for (int i = 0; i < variableCount; ++i) counts[i] = n;
}
