// The disc's template as arbitrary bytes: line splitting, the first comment
// of each line, and the start page made from it.
#include <cstdlib>

#include "app/main_sequence.h"
#include "app/start_page.h"
#include "fuzz_world.h"
#include "platform/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarvo::FuzzWorld world;
  const std::string text = tarvo::Text(data, size);
  const auto lines = tarvo::TextLines(text);
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    const auto comment = tarvo::FirstComment(line);
    if (comment && line.compare(comment->begin, comment->text.size(), comment->text) != 0) {
      std::abort();
    }
  }
  world.windows.AddFile("D:\\intface\\template.htm", text);
  world.windows.SetRegistryDword(tarvo::HkeyCurrentUser, "Software\\Lumora\\Interface",
                                 "MuziekVolume", 0x80000000u);
  tarvo::BrowserCode = size % 2 ? "NN4" : "IE5";
  std::string document = "D:\\";
  // The extremes of the window sizes a catalogue can give.
  tarvo::CreateStartPage(document, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN);
  const auto page = world.windows.FileContent(document);
  if (page && tarvo::TextLines(*page).size() != lines.size()) std::abort();
  return 0;
}
