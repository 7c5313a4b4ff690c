// A reader's log as arbitrary bytes: its decoding, the lines found again
// as mail programs leave them, the recognition of the launcher's lines, the
// reading of each run and both forms of the output.
#include "fuzz_world.h"
#include "log_reading_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarvo::CheckLogReading(tarvo::Text(data, size));
  return 0;
}
