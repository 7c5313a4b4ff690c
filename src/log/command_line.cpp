#include "log/command_line.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr std::string::size_type MaxWordLength = 4096;

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string::size_type i = 0;
  const auto end = commandLine.size();
  while (true) {
    while (i < end && IsSeparator(commandLine[i])) ++i;
    if (i == end) return words;
    std::string word;
    while (i < end && !IsSeparator(commandLine[i])) {
      if (commandLine[i] != '"') {
        word += commandLine[i++];
        continue;
      }
      const auto closing = commandLine.find('"', i + 1);
      const auto stop = closing == std::string::npos ? end : closing;
      word.append(commandLine, i + 1, stop - i - 1);
      i = stop == end ? end : stop + 1;
    }
    word.resize(std::min(word.size(), MaxWordLength));
    words.push_back(word);
  }
}

}  // namespace tarvo
