// A browser's version information as arbitrary bytes: the model's parser of
// version blocks and the launcher's reading of values from them.
#include "browser/version_info.h"
#include "fuzz_world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarvo::FuzzWorld world;
  const std::string browser = "C:\\Browser\\browser.exe";
  world.windows.AddFile(browser, "MZ");
  world.windows.SetVersionBlock(browser, std::vector<std::uint8_t>(data, data + size));
  tarvo::GetFileInfo(browser, "ProductVersion");
  tarvo::GetFileInfo(browser, "FileVersion");
  return 0;
}
