#include <gtest/gtest.h>

#include "app/browser_path.h"

namespace tarvo {
namespace {

TEST(ConvertToBrowserDir, GivesTheLocalFileAddress) {
  struct Case {
    std::string path;
    std::string address;
  };
  const Case cases[] = {
      {"d:\\intface\\hoofd.htm", "file:///d|/intface/hoofd.htm"},
      {"", ""},
      {"e:\\mijn cd\\intface\\frame.htm", "file:///e|/mijn cd/intface/frame.htm"},
      {"hoofd.htm", "file:///hoofd.htm"},
      {"\\\\server\\cd\\intface\\hoofd.htm", "file://///server/cd/intface/hoofd.htm"},
      {"E:\\Één#1%\\X.HTM", "file:///E|/Één#1%/X.HTM"},
  };
  for (Case c : cases) {
    const std::string path = c.path;
    ConvertToBrowserDir(c.path);
    EXPECT_EQ(c.path, c.address) << path;
  }
}

}  // namespace
}  // namespace tarvo
