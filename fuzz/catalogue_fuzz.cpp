// The disc's catalogue as arbitrary bytes: identification, the search of
// drive C: with its scoring, and the window size of the code found.
#include "browser/browser_identification.h"
#include "browser/window_size.h"
#include "fuzz_world.h"
#include "registration/best_browser.h"
#include "support/version_block.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarvo::FuzzWorld world;
  world.windows.AddFile("D:\\intface\\browsers.ini", tarvo::Text(data, size));
  for (const char* browser : {"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
                              "C:\\Netscape\\Program\\netscape.exe", "C:\\Opera\\opera.exe"}) {
    world.windows.AddFile(browser, "MZ");
    world.windows.SetVersionResource(
        browser, tarvo::SingleLanguageVersion(0x0409, 0x04B0, {{"ProductVersion", "5.00.2614"}}));
  }
  const std::string code = tarvo::GetBrowserName("C:\\Netscape\\Program\\netscape.exe");
  tarvo::GetBestBrowser();
  std::int32_t height = 0;
  std::int32_t width = 0;
  tarvo::GetBrowserSize(code.substr(0, 3), height, width);
  return 0;
}
