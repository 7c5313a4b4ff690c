// What the library calls promise: the system directory, and loading a
// library by its full path with its functions found by their exact names.
#include <string>

#include "contract/seam_contract.h"
#include "platform/ascii_case.h"
#include "platform/file_helpers.h"
#include "platform/unique_handle.h"

namespace tarvo {
namespace {

TEST_F(SeamContract, TheSystemDirectoryFitsOrTellsWhatItNeeds) {
  std::string system;
  const std::uint32_t length = windows().GetSystemDirectory(system, 260);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(system.size(), length);
  EXPECT_EQ(system.substr(1, 2), ":\\");
  EXPECT_NE(system.back(), '\\');
  EXPECT_FALSE(FileExists(system)) << "a folder";

  std::string untouched = Untouched;
  EXPECT_EQ(windows().GetSystemDirectory(untouched, 3), length + 1);
  EXPECT_EQ(untouched, Untouched);
}

TEST_F(SeamContract, LibrariesLoadByFullPathAndExportByExactName) {
  world->ProvideSystemLibrary("version.dll", "GetFileVersionInfoSizeA");
  std::string system;
  windows().GetSystemDirectory(system, 260);
  {
    const UniqueLibrary library(windows().LoadLibrary(system + "\\version.dll"));
    ASSERT_TRUE(library);
    EXPECT_NE(windows().GetProcAddress(library.get(), "GetFileVersionInfoSizeA"), 0u);
    EXPECT_EQ(windows().GetProcAddress(library.get(), "getfileversioninfosizea"), 0u);
    EXPECT_EQ(windows().GetProcAddress(library.get(), "DllRegisterServerX"), 0u);
  }
  const std::string text = folder + "\\geen.dll";
  world->MakeFile(text, "geen bibliotheek", FileAttributeArchive);
  for (const std::string& path : {folder + "\\absent.dll", text}) {
    EXPECT_FALSE(UniqueLibrary(windows().LoadLibrary(path))) << path;
  }
}

}  // namespace
}  // namespace tarvo
