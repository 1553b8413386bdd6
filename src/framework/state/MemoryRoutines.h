// Raw memory routines: copy values between typed storage and untyped byte
// buffers in the machine's native representation, packed without padding.
// Thread-safe (pure functions over the buffers they are given).
#ifndef VELMOR_FRAMEWORK_STATE_MEMORYROUTINES_H
#define VELMOR_FRAMEWORK_STATE_MEMORYROUTINES_H

// Each is instantiated for bool, char, short, int, float and double
// (element sizes 1, 1, 2, 4, 4, 8).

// Copies n elements from src into the bytes at dst.
template <class T>
void writeArray(T* src, void* dst, int n);
// Copies n elements from the bytes at src into dst.
template <class T>
void readArray(T* dst, void* src, int n);
// Stores one value at dst.
template <class T>
void writeMemory(T value, void* dst);
// Loads one value from src into *dst.
template <class T>
void readMemory2(void* src, T* dst);

#endif  // VELMOR_FRAMEWORK_STATE_MEMORYROUTINES_H
