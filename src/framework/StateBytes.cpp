// StateBytes: hash, comparison, printing and file record of snapshot bytes.
#include "framework/StateBytes.h"

#include <cstring>
#include <vector>

// The first 256 primes in increasing order.
const std::uint32_t primes[256] = {
    2,    3,    5,    7,    11,   13,   17,   19,   23,   29,   31,   37,   41,   43,   47,   53,
    59,   61,   67,   71,   73,   79,   83,   89,   97,   101,  103,  107,  109,  113,  127,  131,
    137,  139,  149,  151,  157,  163,  167,  173,  179,  181,  191,  193,  197,  199,  211,  223,
    227,  229,  233,  239,  241,  251,  257,  263,  269,  271,  277,  281,  283,  293,  307,  311,
    313,  317,  331,  337,  347,  349,  353,  359,  367,  373,  379,  383,  389,  397,  401,  409,
    419,  421,  431,  433,  439,  443,  449,  457,  461,  463,  467,  479,  487,  491,  499,  503,
    509,  521,  523,  541,  547,  557,  563,  569,  571,  577,  587,  593,  599,  601,  607,  613,
    617,  619,  631,  641,  643,  647,  653,  659,  661,  673,  677,  683,  691,  701,  709,  719,
    727,  733,  739,  743,  751,  757,  761,  769,  773,  787,  797,  809,  811,  821,  823,  827,
    829,  839,  853,  857,  859,  863,  877,  881,  883,  887,  907,  911,  919,  929,  937,  941,
    947,  953,  967,  971,  977,  983,  991,  997,  1009, 1013, 1019, 1021, 1031, 1033, 1039, 1049,
    1051, 1061, 1063, 1069, 1087, 1091, 1093, 1097, 1103, 1109, 1117, 1123, 1129, 1151, 1153, 1163,
    1171, 1181, 1187, 1193, 1201, 1213, 1217, 1223, 1229, 1231, 1237, 1249, 1259, 1277, 1279, 1283,
    1289, 1291, 1297, 1301, 1303, 1307, 1319, 1321, 1327, 1361, 1367, 1373, 1381, 1399, 1409, 1423,
    1427, 1429, 1433, 1439, 1447, 1451, 1453, 1459, 1471, 1481, 1483, 1487, 1489, 1493, 1499, 1511,
    1523, 1531, 1543, 1549, 1553, 1559, 1567, 1571, 1579, 1583, 1597, 1601, 1607, 1609, 1613, 1619,
};

std::uint32_t HashStateBytes(const unsigned char* data, int length) {
  std::uint32_t sum = 0;
  for (int i = 0; i < length; i++) {
    std::int32_t signedByte = static_cast<signed char>(data[i]);
    sum += static_cast<std::uint32_t>(signedByte) * primes[i % 256];
  }
  return sum;
}

int CompareStateBytes(const unsigned char* a, const unsigned char* b, int length) {
  for (int i = 0; i < length; i++) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

int CompareStateBytes(const unsigned char* a, int aLength, const unsigned char* b, int bLength) {
  int result = CompareStateBytes(a, b, aLength < bLength ? aLength : bLength);
  if (result != 0 || aLength == bLength) return result;
  return aLength < bLength ? -1 : 1;
}

void PrintStateBytes(const unsigned char* data, int length) {
  for (int i = 0; i < length; i++) {
    std::printf("%5d", static_cast<int>(static_cast<signed char>(data[i])));
  }
  std::printf("\n");
  std::fflush(stdout);
}

bool WriteStateRecord(FILE* file, const unsigned char* data, int length) {
  std::int32_t recordLength = length;
  if (std::fwrite(&recordLength, sizeof recordLength, 1, file) != 1) return true;
  if (length == 0) return false;
  return std::fwrite(data, 1, static_cast<size_t>(length), file) != static_cast<size_t>(length);
}

// The record is read into a scratch buffer first, so that a short or
// foreign record never touches the state.
bool ReadStateRecord(FILE* file, unsigned char* data, int length) {
  std::int32_t recordLength = 0;
  if (std::fread(&recordLength, sizeof recordLength, 1, file) != 1) return true;
  if (recordLength != length) return true;
  if (length == 0) return false;
  std::vector<unsigned char> scratch(static_cast<size_t>(length));
  if (std::fread(scratch.data(), 1, scratch.size(), file) != scratch.size()) {
    return true;
  }
  std::memcpy(data, scratch.data(), scratch.size());
  return false;
}
