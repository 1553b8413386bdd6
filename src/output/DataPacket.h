// DataPacket: the observations of one report, per performance variable a
// count and a row of values. Not thread-safe; handed between threads only
// through a PacketQueue.
#ifndef VELMOR_OUTPUT_DATAPACKET_H
#define VELMOR_OUTPUT_DATAPACKET_H

// Row i of values (elements i * capacity to i * capacity + capacity - 1)
// holds variable i's observations in the order collected; counts[i] of them
// are valid. Owns both arrays; copying is deleted (they would be freed
// twice). The fields are public: the simulation loops fill them directly.
// Invariants: counts has variableCount entries, values variableCount *
// capacity; 0 <= counts[i] <= capacity for a packet handed to the output.
class DataPacket {
 public:
  // Allocates both arrays with every count and value 0. When
  // variableCount * capacity exceeds INT_MAX or the memory cannot be had,
  // ends the process with the framework's memory report (status 1).
  // REQUIRES: packetVariableCount >= 0 and packetCapacity >= 1.
  DataPacket(int packetClientId, int packetExperiment, int packetVariableCount, int packetCapacity);
  ~DataPacket();
  DataPacket(const DataPacket&) = delete;  // owns its arrays
  DataPacket& operator=(const DataPacket&) = delete;

  // REQUIRES: 0 <= variable < variableCount and 0 <= k < capacity.
  void Store(int variable, int k, double value) { values[variable * capacity + k] = value; }
  double Value(int variable, int k) const { return values[variable * capacity + k]; }
  // Sets the count of every variable to n.
  void SetAllCounts(int n);

  int clientId;       // copied from the simulator's clientId
  int experiment;     // copied from the simulator's experiment
  int variableCount;  // the number of performance variables
  int capacity;       // observations per variable (reportSize when made)
  int* counts;        // valid observations per variable in this report
  double* values;     // variableCount rows of capacity values
};

#endif  // VELMOR_OUTPUT_DATAPACKET_H
