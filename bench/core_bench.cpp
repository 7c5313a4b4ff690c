// The launcher's own code over the real backend, with its work timed:
//
//   core_bench.exe search [INI]        GetBestBrowser, the disc in D: (or the catalogue INI)
//   core_bench.exe identify INI PATH   GetBrowserName of PATH against the catalogue INI
//   core_bench.exe lookups INI         the profile lookups identification makes, bare
//   core_bench.exe lookup INI N        one lookup of entry N's name, bare (the
//                                      average of many)
//
// Each prints the milliseconds its work took and what the work gave. The
// catalogue's choice between the disc's and the Windows copy is made
// beforehand, untimed, where the launcher makes it at its first reader.
#include <cstdio>
#include <string>

#include "bench_clock.h"
#include "browser/browser_identification.h"
#include "browser/catalogue_file.h"
#include "log/debuggen.h"
#include "log/log_file.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"
#include "registration/best_browser.h"

namespace {

constexpr DWORD ValueBufferSize = 2048;
constexpr int RepeatedLookups = 200;

// GetPrivateProfileStringA as the catalogue reader calls it, without the seam.
bool HasValue(const std::string& ini, const std::string& key) {
  char value[ValueBufferSize];
  return GetPrivateProfileStringA("Browserherkenning", key.c_str(), "", value, ValueBufferSize,
                                  ini.c_str()) > 0;
}

// The two lookups identification makes per entry, up to the first entry
// without a name.
int BareLookups(const std::string& ini) {
  int entry = 1;
  while (true) {
    const std::string number = std::to_string(entry);
    const bool named = HasValue(ini, "EXEnaam" + number);
    HasValue(ini, "EVersie" + number);
    if (!named) return entry;
    ++entry;
  }
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: core_bench.exe search [INI] | identify INI PATH | lookups INI | lookup INI N\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  static tarvo::Win32Backend windows;
  tarvo::InstallApi(windows);
  tarvo::LogFile = tarvo::TLogFile::Create();
  tarvo::StartDir = "D:\\";
  const std::string mode = argc > 1 ? argv[1] : "";
  const std::string ini = argc > 2 ? argv[2] : "";
  if (mode == "search" && argc <= 3) {
    if (ini.empty()) {
      tarvo::GetBrowserIniFileName();
    } else {
      tarvo::BrowserIniFile = ini;
    }
    const bench::Stopwatch stopwatch;
    const std::string best = tarvo::GetBestBrowser();
    std::printf("%.3f %s\n", stopwatch.Milliseconds(), best.c_str());
  } else if (mode == "identify" && argc == 4) {
    tarvo::BrowserIniFile = ini;
    const bench::Stopwatch stopwatch;
    const std::string code = tarvo::GetBrowserName(argv[3]);
    std::printf("%.3f %s\n", stopwatch.Milliseconds(), code.c_str());
  } else if (mode == "lookups" && argc == 3) {
    const bench::Stopwatch stopwatch;
    const int entries = BareLookups(ini);
    std::printf("%.3f %d\n", stopwatch.Milliseconds(), entries);
  } else if (mode == "lookup" && argc == 4) {
    const std::string key = std::string("EXEnaam") + argv[3];
    HasValue(ini, key);  // the file read once, as by the lookups before it
    const bench::Stopwatch stopwatch;
    int named = 0;
    for (int i = 0; i < RepeatedLookups; ++i) named += HasValue(ini, key);
    std::printf("%.4f %d\n", stopwatch.Milliseconds() / RepeatedLookups, named);
  } else {
    return Usage();
  }
  return 0;
}
