// tarvo-check.exe: the disc master checker, a console program on the real
// backend.
#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "check/check_command.h"
#include "platform/win32/procedure.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace {

constexpr UINT Windows1252 = 1252;
// Older consoles take no more than some 64 KB a call.
constexpr int ConsoleChunk = 8192;

// `text` in the code page `codePage`, a character it lacks as that page's
// default one.
std::string InCodePage(const std::string& text, UINT codePage) {
  const int size = static_cast<int>(text.size());
  const int wideSize = MultiByteToWideChar(Windows1252, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(Windows1252, 0, text.data(), size, &wide[0], wideSize);
  const int narrowSize =
      WideCharToMultiByte(codePage, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  if (narrowSize <= 0) return text;
  std::string narrow(static_cast<std::size_t>(narrowSize), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), wideSize, &narrow[0], narrowSize, nullptr, nullptr);
  return narrow;
}

// The checker's texts are Windows-1252, as the launcher's and its logs are.
// A console shows its own code page (an OEM one, as a rule), so there they
// are converted and handed to the console itself; sent to a file or a pipe
// they go out as they are. GetConsoleMode, GetConsoleOutputCP,
// MultiByteToWideChar, WideCharToMultiByte and WriteConsoleA are in every
// Windows from 95 and NT 3.1 on.
void Write(DWORD streamId, std::ostream& stream, const std::string& text) {
  const HANDLE console = GetStdHandle(streamId);
  DWORD mode = 0;
  const UINT codePage = GetConsoleOutputCP();
  if (text.empty() || !GetConsoleMode(console, &mode) || codePage == 0) {
    stream << text << std::flush;
    return;
  }
  const std::string shown = codePage == Windows1252 ? text : InCodePage(text, codePage);
  for (std::size_t done = 0; done < shown.size();) {
    const DWORD part = static_cast<DWORD>(std::min<std::size_t>(shown.size() - done, ConsoleChunk));
    DWORD written = 0;
    if (!WriteConsoleA(console, shown.data() + done, part, &written, nullptr) || written == 0) {
      return;
    }
    done += written;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Run by editors from a master folder that holds whatever it holds.
  const tarvo::OptionalCalls calls = tarvo::OptionalCalls::OfThisSystem();
  tarvo::LoadLibrariesFromTheSystemDirectoryOnly(calls);
  static tarvo::Win32Backend windows(calls);
  tarvo::InstallApi(windows);
  std::ostringstream out;
  std::ostringstream error;
  const int status =
      tarvo::RunTarvoCheck(std::vector<std::string>(argv + 1, argv + argc), out, error);
  Write(STD_OUTPUT_HANDLE, std::cout, out.str());
  Write(STD_ERROR_HANDLE, std::cerr, error.str());
  return status;
}
