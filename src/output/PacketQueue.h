// PacketQueue: a fixed ring of DataPacket pointers. Thread-safe: every
// operation takes the queue's own lock for itself alone.
#ifndef VELMOR_OUTPUT_PACKETQUEUE_H
#define VELMOR_OUTPUT_PACKETQUEUE_H

#include "platform/VelmorMutex.h"

class DataPacket;

// Carries packets between the simulation loops and the output step in
// first-in, first-out order. Owns its slot array and its lock; does not own
// the packets it holds (whoever empties the queue deletes them).
// Invariants: 0 <= readIndex, writeIndex < size; the queue is empty when
// readIndex == writeIndex and wrapped is clear, full when they are equal and
// wrapped is set.
class PacketQueue {
 public:
  // REQUIRES: capacity >= 1.
  explicit PacketQueue(int capacity);
  ~PacketQueue();
  PacketQueue(const PacketQueue&) = delete;  // owns the slot array
  PacketQueue& operator=(const PacketQueue&) = delete;

  // Appends packet; false and no change when the queue is full.
  bool Put(DataPacket* packet);
  // Removes and returns the oldest packet, or nullptr when empty.
  DataPacket* Take();
  // The number of packets held.
  int Length();
  int Capacity() const { return size; }

 private:
  int LengthLocked() const;

  DataPacket** slots;
  int size;
  int readIndex;   // next slot to take from
  int writeIndex;  // next slot to put into
  bool wrapped;    // writeIndex has wrapped and readIndex has not yet
  VelmorMutex lock;
};

#endif  // VELMOR_OUTPUT_PACKETQUEUE_H
