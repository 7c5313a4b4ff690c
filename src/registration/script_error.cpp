#include "registration/script_error.h"

#include "log/log_file.h"
#include "platform/file_helpers.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::uint32_t MaxPath = 260;
constexpr std::int32_t SOk = 0;

void Log(const std::string& text) { LogFile->AddLine(text, false); }

}  // namespace

void SolveScriptErrorIE() {
  std::string systemDir;
  const std::uint32_t length = Api().GetSystemDirectory(systemDir, MaxPath);
  Log("xxx SSEIE: Lengte = " + std::to_string(length));
  if (length == 0 || length > MaxPath) return;
  if (systemDir.empty() || systemDir.back() != '\\') systemDir += '\\';
  Log("xxx SSEIE: SystemDir = " + systemDir);
  RegisterActiveXLibrary(systemDir + "actxprxy.dll");
  RegisterActiveXLibrary(systemDir + "shdocvw.dll");
}

void RegisterActiveXLibrary(const std::string& fileName) {
  Log("xxx RAL: FileName = " + fileName);
  if (!FileExists(fileName)) return Log("xxx RAL: (bestand niet aanwezig)");
  const UniqueLibrary library(Api().LoadLibrary(fileName));
  Log("xxx RAL: LibHandle = " + std::to_string(library.get()));
  if (!library) return Log("xxx RAL: (LoadLibrary is mislukt!)");
  const std::uintptr_t entry = Api().GetProcAddress(library.get(), "DllRegisterServer");
  if (entry == 0) return Log("xxx RAL: (GetProcAddress is mislukt!)");
  Log(Api().CallEntryPoint(entry) == SOk ? "xxx RAL: (registratie is gelukt!)"
                                         : "xxx RAL: (registratie is mislukt!)");
}

}  // namespace tarvo
