// StateBytes: the byte-buffer operations shared by every snapshot class
// (hash, comparison, printing, the file record). Thread-safe (pure
// functions over the buffers and files they are given).
#ifndef VELMOR_FRAMEWORK_STATEBYTES_H
#define VELMOR_FRAMEWORK_STATEBYTES_H

#include <cstdint>
#include <cstdio>

// The first 256 primes, 2 .. 1619.
extern const std::uint32_t primes[256];

// Sum over i of (signed byte i) * primes[i % 256], unsigned 32-bit wrap.
std::uint32_t HashStateBytes(const unsigned char* data, int length);
// -1, 0 or 1 by the first differing byte, compared unsigned.
int CompareStateBytes(const unsigned char* a, const unsigned char* b, int length);
// As above over the common length of two buffers; when that prefix is
// equal the shorter buffer orders first (equal lengths: 0).
int CompareStateBytes(const unsigned char* a, int aLength, const unsigned char* b, int bLength);
// Each byte as a signed decimal ("%5d"), then a newline, on stdout.
void PrintStateBytes(const unsigned char* data, int length);
// The record: the length as a native 4-byte int, then the bytes. Returns
// true on a short transfer.
bool WriteStateRecord(FILE* file, const unsigned char* data, int length);
// Reads a record into data (length bytes). Returns true, leaving data
// unchanged, when the record is short or carries another length.
bool ReadStateRecord(FILE* file, unsigned char* data, int length);

#endif  // VELMOR_FRAMEWORK_STATEBYTES_H
