#include <gtest/gtest.h>

#include "platform/process.h"

namespace mlf {
namespace {

TEST(ProcessTest, OutputExitCodeAndTimeLimit) {
  ProcessResult echo = RunProcess({"sh", "-c", "echo hello; exit 3"}, 10);
  EXPECT_TRUE(echo.started);
  EXPECT_EQ(echo.output, "hello\n");
  EXPECT_EQ(echo.exitCode, 3);

  ProcessResult slow = RunProcess({"sh", "-c", "sleep 30 & sleep 30"}, 1);
  EXPECT_TRUE(slow.timedOut);

  EXPECT_NE(RunProcess({"no-such-program-here"}, 5).exitCode, 0);
  EXPECT_FALSE(FindOnPath("sh").empty());
  EXPECT_TRUE(FindOnPath("no-such-program-here").empty());
}

}  // namespace
}  // namespace mlf
