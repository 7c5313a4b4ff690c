// The calls the backend looks up at run time, each way: as this Windows
// offers them, and as a Windows without them (the first Windows 95 lacks
// GetDiskFreeSpaceExA; SetDefaultDllDirectories came with Windows 8).
#include <cstdint>
#include <string>

#include "contract/seam_contract.h"
#include "platform/win32/procedure.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {
namespace {

bool LoadsByBareName(const std::string& name) {
  const HMODULE library = LoadLibraryA(name.c_str());
  if (library) FreeLibrary(library);
  return library != nullptr;
}

TEST_F(SeamContract, DriveSpaceIsToldWithAndWithoutGetDiskFreeSpaceEx) {
  Win32Backend current;
  Win32Backend older{OptionalCalls{}};
  ASSERT_TRUE(OptionalCalls::OfThisSystem().getDiskFreeSpaceEx) << "Wine offers it";
  std::uint64_t currentFree = 0;
  std::uint64_t currentTotal = 0;
  ASSERT_TRUE(current.GetDiskFreeSpaceEx("C:\\", currentFree, currentTotal));
  std::uint64_t olderFree = 0;
  std::uint64_t olderTotal = 0;
  ASSERT_TRUE(older.GetDiskFreeSpaceEx("C:\\", olderFree, olderTotal));
  EXPECT_GT(olderTotal, 0u);
  EXPECT_LE(olderFree, olderTotal);
  EXPECT_LE(olderTotal, currentTotal);

  std::uint64_t free = 1;
  std::uint64_t total = 2;
  EXPECT_FALSE(older.GetDiskFreeSpaceEx("Q:\\", free, total));
  EXPECT_EQ(free, 1u);
  EXPECT_EQ(total, 2u);
}

TEST_F(SeamContract, LibrariesComeFromTheSystemDirectoryOnlyWhereWindowsOffersIt) {
  // A library planted beside the program: a copy of the program itself.
  char self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  std::string planted = self;
  planted = planted.substr(0, planted.rfind('\\') + 1) + "tarvo-planted.dll";
  ASSERT_TRUE(CopyFileA(self, planted.c_str(), FALSE));

  EXPECT_FALSE(LoadLibrariesFromTheSystemDirectoryOnly(OptionalCalls{}));
  EXPECT_TRUE(LoadsByBareName("tarvo-planted.dll")) << "Windows' own search order";

  EXPECT_TRUE(LoadLibrariesFromTheSystemDirectoryOnly(OptionalCalls::OfThisSystem()));
  EXPECT_FALSE(LoadsByBareName("tarvo-planted.dll"));
  EXPECT_TRUE(LoadsByBareName("version.dll"));
  DeleteFileA(planted.c_str());
}

}  // namespace
}  // namespace tarvo
