// tarvo-check.exe: the disc master checker, a console program on the real
// backend.
#include <iostream>
#include <string>
#include <vector>

#include "check/check_command.h"
#include "platform/win32/procedure.h"
#include "platform/win32/win32_backend.h"

int main(int argc, char** argv) {
  // Run by editors from a master folder that holds whatever it holds.
  const tarvo::OptionalCalls calls = tarvo::OptionalCalls::OfThisSystem();
  tarvo::LoadLibrariesFromTheSystemDirectoryOnly(calls);
  static tarvo::Win32Backend windows(calls);
  tarvo::InstallApi(windows);
  return tarvo::RunTarvoCheck(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr);
}
