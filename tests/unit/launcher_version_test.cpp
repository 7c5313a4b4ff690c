// The launcher version check and the volume label.
#include "app/launcher_version.h"

#include <gtest/gtest.h>

#include "detection_test.h"

namespace tarvo {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(CompareLauncherVersions, ComparesNumericFieldsAsNumbersAndOtherTextsByteByByte) {
  struct Case {
    const char* first;
    const char* second;
    int order;
  };
  const Case cases[] = {
      {"1.52.0.0", "1.52.0.0", 0},
      {"1.53.0.0", "1.52.0.0", 1},
      {"1.100.0.0", "1.52.0.0", 1},
      {"1.9.0.0", "1.52.0.0", -1},
      {"1.52", "1.52.0.0", 0},
      {"1.52.0.1", "1.52", 1},
      {" 1.52.0.0 ", "1.52.0.0", 0},
      {"01.052.00.0", "1.52.0.0", 0},
      {"99999999999999999999999.0", "4294967296.0", 1},
      {"1, 52, 0, 0", "1, 100, 0, 0", 1},
      {"1.52a", "1.52", 1},
      {"1..2", "1.2", -1},
      {"", "1.52.0.0", -1},
      {"1.52.0.0", "", 1},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareLauncherVersions(c.first, c.second)), c.order)
        << c.first << " / " << c.second;
    EXPECT_EQ(Sign(CompareLauncherVersions(c.second, c.first)), -c.order)
        << c.second << " / " << c.first;
  }
}

class LauncherVersionTest : public DetectionTest {
 protected:
  static VersionResource FileVersion(const std::string& version) {
    return SingleLanguageVersion(0x0413, 0x04E4, {{"FileVersion", version}});
  }
};

// A newer launcher on the disc stops the run; ProgramRun shows that.
TEST_F(LauncherVersionTest, LetsTheRunGoOnUnlessTheDiscsLauncherIsNewer) {
  windows.SetModuleFileName("C:\\Oud\\TARVO32.EXE");
  windows.AddFile("C:\\Oud\\TARVO32.EXE", "MZ");
  windows.SetVersionResource("C:\\Oud\\TARVO32.EXE", FileVersion("1.52.0.0"));
  struct Case {
    const char* cdVersion;  // null: no launcher on the disc
    const char* cdLine;
  };
  const Case cases[] = {
      {"1.52.0.0", "103: VersieCD = 1.52.0.0"},
      {"1.9.0.0", "103: VersieCD = 1.9.0.0"},
      {"1.51.9.9", "103: VersieCD = 1.51.9.9"},
      {nullptr, "103: VersieCD = "},
  };
  for (const Case& c : cases) {
    if (c.cdVersion) {
      windows.AddFile("D:\\TARVO32.EXE", "MZ");
      windows.SetVersionResource("D:\\TARVO32.EXE", FileVersion(c.cdVersion));
    } else {
      windows.DeleteFile("D:\\TARVO32.EXE");
    }
    CheckLauncherVersion();
    std::vector<std::string> numbered;
    for (const std::string& line : TakeLines()) {
      if (line.rfind("xxx ", 0) != 0) numbered.push_back(line);
    }
    EXPECT_EQ(numbered, (std::vector<std::string>{"102: VersieIntern = 1.52.0.0", c.cdLine}));
    EXPECT_TRUE(windows.Boxes().empty());
  }
}

TEST_F(LauncherVersionTest, TheVolumeLabelComesFromTheStartDirectorysDrive) {
  windows.AddFile("D:\\intface\\hoofd.htm");
  windows.AddFolder("E:");
  windows.SetVolumeLabel("D:", "LUMORA");
  struct Case {
    const char* startDir;
    const char* label;
  };
  const Case cases[] = {
      {"D:\\", "LUMORA"},
      {"D:\\INTFACE\\", "LUMORA"},
      {"E:\\", ""},
      {"Q:\\", "Opvragen volumelabel mislukt!"},
      {"\\\\SERVER\\CD\\", "Opvragen volumelabel mislukt!"},
  };
  for (const Case& c : cases) {
    StartDir = c.startDir;
    EXPECT_EQ(GetVolumeLabel(), c.label) << c.startDir;
    EXPECT_EQ(windows.VolumeNameSizeAsked(), 100u) << c.startDir;
  }
}

}  // namespace
}  // namespace tarvo
