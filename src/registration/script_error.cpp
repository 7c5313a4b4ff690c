#include "registration/script_error.h"

#include "log/log_file.h"
#include "platform/file_helpers.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::uint32_t MaxPath = 260;
constexpr std::int32_t SOk = 0;

}  // namespace

void SolveScriptErrorIE() {
  std::string systemDir;
  const std::uint32_t length = Api().GetSystemDirectory(systemDir, MaxPath);
  LogLine("xxx SSEIE: Lengte = " + std::to_string(length));
  if (length == 0 || length > MaxPath) return;
  if (systemDir.empty() || systemDir.back() != '\\') systemDir += '\\';
  LogLine("xxx SSEIE: SystemDir = " + systemDir);
  RegisterActiveXLibrary(systemDir + "actxprxy.dll");
  RegisterActiveXLibrary(systemDir + "shdocvw.dll");
}

void RegisterActiveXLibrary(const std::string& fileName) {
  LogLine("xxx RAL: FileName = " + fileName);
  if (!FileExists(fileName)) return LogLine("xxx RAL: (bestand niet aanwezig)");
  const UniqueLibrary library(Api().LoadLibrary(fileName));
  LogLine("xxx RAL: LibHandle = " + std::to_string(library.get()));
  if (!library) return LogLine("xxx RAL: (LoadLibrary is mislukt!)");
  const std::uintptr_t entry = Api().GetProcAddress(library.get(), "DllRegisterServer");
  if (entry == 0) return LogLine("xxx RAL: (GetProcAddress is mislukt!)");
  LogLine(Api().CallEntryPoint(entry) == SOk ? "xxx RAL: (registratie is gelukt!)"
                                             : "xxx RAL: (registratie is mislukt!)");
}

}  // namespace tarvo
