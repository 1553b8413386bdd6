// PacketQueue: the ring, each operation under the queue's lock.
#include "output/PacketQueue.h"

#include "base/Allocate.h"
#include "base/Assert.h"

PacketQueue::PacketQueue(int capacity)
    : slots(nullptr), size(capacity), readIndex(0), writeIndex(0), wrapped(false) {
  VELMOR_ASSERT(capacity >= 1, "PacketQueue");
  slots = AllocateZeroedArray<DataPacket*>(static_cast<unsigned>(capacity));
}

PacketQueue::~PacketQueue() { delete[] slots; }

bool PacketQueue::Put(DataPacket* packet) {
  lock.Get();
  const bool full = readIndex == writeIndex && wrapped;
  if (!full) {
    slots[writeIndex] = packet;
    if (++writeIndex == size) {
      writeIndex = 0;
      wrapped = true;
    }
  }
  lock.Release();
  return !full;
}

DataPacket* PacketQueue::Take() {
  lock.Get();
  DataPacket* packet = nullptr;
  const bool empty = readIndex == writeIndex && !wrapped;
  if (!empty) {
    packet = slots[readIndex];
    slots[readIndex] = nullptr;
    if (++readIndex == size) {
      readIndex = 0;
      wrapped = false;
    }
  }
  lock.Release();
  return packet;
}

int PacketQueue::Length() {
  lock.Get();
  const int length = LengthLocked();
  lock.Release();
  return length;
}

int PacketQueue::LengthLocked() const {
  int length = writeIndex - readIndex;
  if (writeIndex < readIndex || wrapped) length += size;
  return length;
}
