// gathwrite --version: the project version, printed without a display and without a window.
#include <gtest/gtest.h>
#include <stdio.h>

#include <array>
#include <memory>
#include <string>

namespace {

TEST(DesktopVersion, PrintsTheProjectVersionWithoutADisplay) {
  const std::string command =
      std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") + GW_APP_BINARY +
      "' --version 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  ASSERT_TRUE(pipe);
  std::string output;
  std::array<char, 256> buffer{};
  while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
    output.append(buffer.data(), got);
  }
  EXPECT_EQ(::pclose(pipe.release()), 0) << output;
  EXPECT_EQ(output, "gathwrite " GW_EXPECTED_VERSION "\n");
}

}  // namespace
