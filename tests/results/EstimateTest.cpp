// Tests of the estimates and their renderings.
#include <gtest/gtest.h>

#include <cmath>

#include "Estimate.h"
#include "Report.h"
#include "VariableNames.h"

using namespace velmor_results;

TEST(EstimateTest, MeanVarianceAndStudentInterval) {
  // Values 1, 2, 3, 4: mean 2.5; squared deviations 2.25+0.25+0.25+2.25 = 5,
  // sample variance 5/3; half width t(0.975, 3) * sqrt(5/3 / 4) = 3.182 * 0.645497.
  Estimate e = Summarise({1, 2, 3, 4});
  EXPECT_EQ(e.count, 4);
  EXPECT_DOUBLE_EQ(e.mean, 2.5);
  EXPECT_NEAR(e.variance, 5.0 / 3.0, 1e-12);
  EXPECT_NEAR(e.halfWidth, 3.182 * std::sqrt(5.0 / 12.0), 1e-9);

  Estimate one = Summarise({7});
  EXPECT_EQ(one.count, 1);
  EXPECT_EQ(one.mean, 7);
  EXPECT_EQ(one.halfWidth, 0);
  EXPECT_EQ(Summarise({}).count, 0);
}

TEST(EstimateTest, StudentQuantileJoinsTheNormalSmoothly) {
  // Table values: t(0.975, 30) = 2.042, t(0.975, 60) = 2.000, t(0.975, 120) = 1.980.
  EXPECT_DOUBLE_EQ(StudentT975(1), 12.706);
  EXPECT_NEAR(StudentT975(31), 2.0395, 5e-4);
  EXPECT_NEAR(StudentT975(60), 2.000, 1e-3);
  EXPECT_NEAR(StudentT975(120), 1.980, 1e-3);
  EXPECT_NEAR(StudentT975(1000000), 1.95996, 1e-4);
}

TEST(EstimateTest, TypeFileNamesInstantVariables) {
  std::vector<std::string> names;
  std::string error;
  const char* text =
      "Version:1\nNumPV:2\nName:reliability\nType:0\nNumTimes:1\nStart:30\nStop:30\n"
      "Name:load\nType:0\nNumTimes:1\nStart:0\nStop:100\n";
  ASSERT_TRUE(ParseTypeFile(text, &names, &error)) << error;
  EXPECT_EQ(names, (std::vector<std::string>{"reliability@30", "load[0,100]"}));
  EXPECT_EQ(NameOf(names, 1), "load[0,100]");
  EXPECT_EQ(NameOf(names, 5), "5");
  // A variable expanded into one node per time point: each node lists all
  // points; the nodes take them in turn.
  const char* expanded =
      "Version:1\nNumPV:3\n"
      "Name:r\nType:0\nNumTimes:2\nStart:30\nStop:30\nStart:180\nStop:180\n"
      "Name:r\nType:0\nNumTimes:2\nStart:30\nStop:30\nStart:180\nStop:180\n"
      "Name:s\nType:0\nNumTimes:1\nStart:365\nStop:365\n";
  ASSERT_TRUE(ParseTypeFile(expanded, &names, &error)) << error;
  EXPECT_EQ(names, (std::vector<std::string>{"r@30", "r@180", "s@365"}));
  EXPECT_FALSE(ParseTypeFile("Version:1\nNumPV:1\nName:x\nType:0\n", &names, &error));
  EXPECT_NE(error.find("line 5"), std::string::npos) << error;
}

TEST(EstimateTest, RenderingsAgree) {
  std::vector<ReportRow> rows = {{"a.bin", 0, 0, "reliability@30", Summarise({0, 1})},
                                 {"a.bin", 0, 1, "say \"hi\"", Summarise({2})}};
  std::string table = RenderTable(rows);
  // Header plus one line per row, every line the same width.
  size_t first = table.find('\n');
  size_t second = table.find('\n', first + 1);
  EXPECT_EQ(first, second - first - 1);
  EXPECT_NE(table.find("reliability@30"), std::string::npos);
  std::string csv = RenderCsv(rows);
  EXPECT_NE(csv.find("a.bin,0,0,reliability@30,2,0.5,0.5,"), std::string::npos) << csv;
  std::string json = RenderJson(rows);
  EXPECT_NE(json.find("\"variable\": \"say \\\"hi\\\"\""), std::string::npos) << json;
  EXPECT_EQ(RenderJson({}), "[]\n");
}
