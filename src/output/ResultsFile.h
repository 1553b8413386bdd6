// ResultsFile: the byte formats of the ASCII and binary results files and
// of the observation message that the binary file shares with the manager
// link, as pure functions over buffers and streams. Thread-safe (no state).
#ifndef VELMOR_OUTPUT_RESULTSFILE_H
#define VELMOR_OUTPUT_RESULTSFILE_H

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

class DataPacket;

// The binary file's header length; also the first number in its text.
constexpr int kBinaryHeaderSize = 256;
// Room for "%.10lf" of any double: the largest finite one has 309 integer
// digits, a point and ten decimals (320 characters), plus a sign and a NUL.
constexpr int kValueTextSize = 400;

// Big-endian writers: each stores its field most significant byte first
// and returns the position just past it. A double goes as its 8 IEEE 754
// bytes, sign and exponent byte first.
char* PutInt32(char* out, int32_t value);
char* PutInt16(char* out, int value);  // the low 16 bits
char* PutByte(char* out, int value);   // the low 8 bits
char* PutDouble(char* out, double value);

// Writes value with "%.10lf", then drops trailing '0's while the character
// before the one dropped is not '.' (so 0.5, 2.0, -0.25, 100.0). Returns the
// text's length. REQUIRES: size >= kValueTextSize.
int FormatTrimmedValue(double value, char* text, size_t size);

// The two header lines of the ASCII results file.
std::string AsciiResultsHeader(int experiment);
void WriteAsciiResultsHeader(std::ostream& out, int experiment);
// The 256-byte header of the binary results file: its text, then NULs.
// REQUIRES: header holds kBinaryHeaderSize bytes.
void BinaryResultsHeader(int experiment, char* header);
void WriteBinaryResultsHeader(std::ostream& out, int experiment);

// Length in bytes of the observation message for first and an optional
// second packet: 9 + 7 R + 8 N, R the variables with a count above 0 in
// either packet, N the sum of those counts.
size_t ObservationMessageLength(const DataPacket& first, const DataPacket* second);
// Encodes the observation message: length, client id (low 8 bits),
// experiment (low 16 bits), R, then the records of first (type 1) and of
// second (type 2), each in ascending variable index. Returns the length.
// REQUIRES: buffer holds ObservationMessageLength(first, second) bytes;
// every count lies in [0, capacity].
size_t EncodeObservationMessage(int clientId, int experiment, const DataPacket& first,
                                const DataPacket* second, char* buffer);

// ASCII lines of one report: "index,value\n" per observation, variables in
// ascending index, observations in order; with second, "index,v1,v2\n".
// Does not flush.
void WriteAsciiObservations(std::ostream& out, const DataPacket& first, const DataPacket* second);

// Opens a results file, created or truncated (binary mode when binary).
// On failure prints "ERROR: Unable to open results file '<name>': <reason>"
// on standard error and returns nullptr.
std::ofstream* OpenResultsFile(const char* name, bool binary);

#endif  // VELMOR_OUTPUT_RESULTSFILE_H
