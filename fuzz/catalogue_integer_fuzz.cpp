// Integers of the catalogue: "0x" hexadecimal or signed decimal text.
#include <cstdlib>

#include "fuzz_world.h"
#include "platform/catalogue_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = tarvo::Text(data, size);
  const auto value = tarvo::ParseCatalogueInteger(text);
  // A decimal value reads back as the digits it came from.
  if (value && text.rfind("0x", 0) != 0 && text.rfind("0X", 0) != 0) {
    const std::string digits = std::to_string(*value);
    if (text.find_first_not_of("-0123456789") != std::string::npos) std::abort();
    if (std::strtoll(text.c_str(), nullptr, 10) != *value) std::abort();
    if (digits.empty()) std::abort();
  }
  return 0;
}
