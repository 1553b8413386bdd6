// SimMgrMessages: encoders of the link-only messages, redirect parsing.
#include "output/SimMgrMessages.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "output/ResultsFile.h"

void EncodeControlReply(int marker, int code, int32_t processId, char* out) {
  out = PutInt32(out, kControlReplySize);
  out = PutByte(out, marker);
  out = PutByte(out, code);
  PutInt32(out, processId);
}

void EncodeCpuTimeMessage(int clientId, int experiment, double seconds, char* out) {
  // The length field counts the 12 bytes that follow it.
  out = PutInt32(out, kCpuTimeMessageSize - 4);
  out = PutByte(out, kQuitMarker);
  out = PutByte(out, clientId);
  out = PutInt16(out, experiment);
  PutDouble(out, seconds);
}

namespace {

// The piece of text starting at *cursor up to the next ';' (empty pieces
// skipped); false when none is left.
bool NextPiece(const char** cursor, std::string* piece) {
  const char* p = *cursor;
  while (*p == ';') ++p;
  if (*p == '\0') {
    *cursor = p;
    return false;
  }
  const char* end = std::strchr(p, ';');
  if (end == nullptr) end = p + std::strlen(p);
  piece->assign(p, static_cast<size_t>(end - p));
  *cursor = end;
  return true;
}

int ReadDecimal(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

RedirectRequest ParseRedirectText(const char* text) {
  RedirectRequest request;
  if (text == nullptr) return request;
  const char* cursor = text;
  std::string piece;
  if (!NextPiece(&cursor, &piece)) return request;
  request.hasFileName = true;
  request.fileName = piece;
  if (NextPiece(&cursor, &piece)) request.maxBatches = ReadDecimal(piece);
  return request;
}
