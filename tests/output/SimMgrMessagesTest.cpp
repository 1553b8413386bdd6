// Tests of the manager-link-only messages and of redirect-text parsing.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "output/SimMgrMessages.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(SimMgrMessagesTest, RegistrationReply) {
  char out[kControlReplySize];
  // Process id 4660 = 0x1234.
  EncodeControlReply(kControlMarker, kReplyRegister, 4660, out);
  EXPECT_EQ(Bytes(out, out + 10), (Bytes{0, 0, 0, 0x0A, 0xFF, 0x01, 0, 0, 0x12, 0x34}));
  EncodeControlReply(kQuitMarker, kReplyQuit, 0x7F000001, out);
  EXPECT_EQ(Bytes(out, out + 10), (Bytes{0, 0, 0, 0x0A, 0xFE, 0x02, 0x7F, 0, 0, 0x01}));
}

TEST(SimMgrMessagesTest, CpuTimeMessage) {
  char out[kCpuTimeMessageSize];
  // Client 3, experiment 2, 1.5 s (0x3FF8000000000000); length field 12.
  EncodeCpuTimeMessage(3, 2, 1.5, out);
  EXPECT_EQ(Bytes(out, out + 16),
            (Bytes{0, 0, 0, 0x0C, 0xFE, 0x03, 0, 0x02, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0}));
  // Client 300 and experiment 70000 keep their low 8 and 16 bits.
  EncodeCpuTimeMessage(300, 70000, 0.0, out);
  EXPECT_EQ(static_cast<unsigned char>(out[5]), 0x2C);
  EXPECT_EQ(static_cast<unsigned char>(out[6]), 0x11);
  EXPECT_EQ(static_cast<unsigned char>(out[7]), 0x70);
}

TEST(SimMgrMessagesTest, RedirectTextNameAndLimit) {
  RedirectRequest r = ParseRedirectText("results.bin;25;;");
  EXPECT_TRUE(r.hasFileName);
  EXPECT_EQ(r.fileName, "results.bin");
  EXPECT_EQ(r.maxBatches, 25);
  // Empty pieces are skipped, as a strtok split does.
  r = ParseRedirectText(";;a.bin;;;7;;");
  EXPECT_EQ(r.fileName, "a.bin");
  EXPECT_EQ(r.maxBatches, 7);
  // No number: no limit.
  r = ParseRedirectText("only.bin;;");
  EXPECT_TRUE(r.hasFileName);
  EXPECT_EQ(r.maxBatches, 0);
  r = ParseRedirectText("x.bin;abc;;");
  EXPECT_EQ(r.maxBatches, 0);
  r = ParseRedirectText("x.bin;12abc;;");
  EXPECT_EQ(r.maxBatches, 12);
}

TEST(SimMgrMessagesTest, RedirectTextWithoutNameOrWithHugeNumber) {
  EXPECT_FALSE(ParseRedirectText(";;").hasFileName);
  EXPECT_FALSE(ParseRedirectText("").hasFileName);
  EXPECT_FALSE(ParseRedirectText(nullptr).hasFileName);
  // Numbers beyond int are clamped rather than overflowing.
  EXPECT_EQ(ParseRedirectText("f;99999999999999999999;;").maxBatches, INT_MAX);
  EXPECT_EQ(ParseRedirectText("f;-99999999999999999999;;").maxBatches, INT_MIN);
}

}  // namespace
