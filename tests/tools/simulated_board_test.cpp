// The simulated film board: its page over HTTPS and posters that are real pictures.
#include <gtest/gtest.h>

#include "site_simulator/board_page.h"
#include "site_simulator/site_simulator.h"
#include "tools/simulator_fetch.h"

namespace quenbo {
namespace {

std::uint32_t bigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

TEST(SimulatedBoard, ServesTwelveFilmsAndTheirPosters) {
  simulator::SiteSimulator sites;
  ASSERT_TRUE(sites.running());
  EXPECT_NE(sites.hostsFileText().find("\n[board]\nhost = " + sites.boardHost() + "\n"),
            std::string::npos);
  testing::Fetched page = testing::fetchUrl("https://" + sites.boardHost() + "/board");
  ASSERT_EQ(page.response.statusText.substr(0, 3), "200");
  std::string utf8 = gbkToUtf8(page.text);
  std::size_t entries = 0;
  for (std::size_t at = utf8.find("board-index board-index"); at != std::string::npos;
       at = utf8.find("board-index board-index", at + 1)) {
    ++entries;
  }
  EXPECT_EQ(entries, 12u);
  EXPECT_NE(utf8.find("https://" + sites.boardHost() + "/posters/12.jpg"), std::string::npos);

  for (int n = 1; n <= 12; ++n) {
    const std::string& picture = simulator::posterPicture(n);
    SCOPED_TRACE(n);
    if (n % 2 == 1) {
      ASSERT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1A\n");
      EXPECT_EQ(bigEndian(picture, 16), 160u);  // IHDR width and height
      EXPECT_EQ(bigEndian(picture, 20), 220u);
    } else {
      EXPECT_EQ(picture.substr(0, 2), "\xFF\xD8");
      EXPECT_EQ(picture.substr(picture.size() - 2), "\xFF\xD9");
    }
    EXPECT_LT(picture.size(), 60000u);
  }
  EXPECT_NE(simulator::posterPicture(1), simulator::posterPicture(3));
}

}  // namespace
}  // namespace quenbo
