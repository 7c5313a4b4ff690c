// The command line as the program reads it: words, switches, start directory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "log/command_line.h"
#include "log/debuggen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string commandLine(reinterpret_cast<const char*>(data), size);
  const auto words = tarvo::SplitCommandLine(commandLine);
  for (const std::string& word : words) {
    if (word.size() > 4096) std::abort();
  }
  const tarvo::StartOptions options = tarvo::ReadStartOptions(words, "D:\\TARVO32.EXE");
  if (options.startDir.empty() || options.startDir.back() != '\\') std::abort();
  return 0;
}
