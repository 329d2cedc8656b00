#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/global/TiLog.h"

namespace vantrel {
namespace {

std::vector<std::string> g_lines;
void Record(const char* line) {
    g_lines.emplace_back(line);
}

TEST(TiLog, FormatsWholeLinesIntoTheInstalledSink) {
    g_lines.clear();
    TiSetLogSink(&Record);
    TiLog("retinex %d %d %f", 1, 3, 1.2);
    TiLog("already ended\n");
    TiLog("%s", std::string(1000, 'x').c_str());
    TiSetLogSink(nullptr);
    TiLog("not recorded");
    ASSERT_EQ(g_lines.size(), 3u);
    EXPECT_EQ(g_lines[0], "retinex 1 3 1.200000\n");
    EXPECT_EQ(g_lines[1], "already ended\n");
    EXPECT_EQ(g_lines[2], std::string(1000, 'x') + "\n");
}

}  // namespace
}  // namespace vantrel
