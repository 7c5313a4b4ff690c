#include "registration/lmr_ext.h"

#include "log/log_file.h"
#include "platform/ascii_case.h"
#include "platform/registry.h"

namespace tarvo {

namespace {

const char* const MimeType = "application/runfile";
const char* const NavigatorKey = "Software\\Netscape\\Netscape Navigator\\";
const char* const TrustKey =
    "Software\\Netscape\\Netscape Navigator\\User Trusted External Applications";

// A key opened from the root, or the line that says it could not be.
void OpenOrLog(RegistryAccessor& registry, const std::string& key, const std::string& failure) {
  if (!registry.OpenKey(key)) LogLine(failure);
}

std::string OpenCommand(const std::string& program) { return "\"" + program + "\" \"%1\""; }

// Shell, Shell\Open and Shell\Open\Command below the open Lumora.runfile,
// each opened relative to the one before. Where one cannot be opened, what
// belongs to it and below is skipped, so that nothing lands a level higher.
void RegisterOpenAction(RegistryAccessor& registry, const std::string& startDir) {
  if (!registry.OpenKey("Shell"))
    return LogLine("303: (aanmaken \"Lumora.runfile\\Shell\" sleutel mislukt)");
  // The beta disc put the menu text here; it belongs one level deeper.
  if (registry.DeleteValue("")) {
    LogLine("304: (verwijderen foutieve &Starten waarde bèta cd-rom is gelukt!)");
  }
  if (!registry.OpenKey("Open")) {
    return LogLine("305: (aanmaken \"Lumora.runfile\\Shell\\Open\" sleutel mislukt)");
  }
  registry.WriteString("", "&Starten");
  if (!registry.OpenKey("Command")) {
    return LogLine("306 (aanmaken \"Lumora.runfile\\Shell\\Open\\Command\" sleutel mislukt)");
  }
  registry.WriteString("", OpenCommand(RunnerPath(startDir)));
}

// The lowest free "TYPE<n>" of the open Viewers key, or none when one of
// them names the run file's type already.
std::string FreeViewerTypeName(const RegistryAccessor& registry) {
  for (unsigned n = 0;; ++n) {
    const std::string name = "TYPE" + std::to_string(n);
    if (!registry.ValueExists(name)) return name;
    if (registry.HoldsText(name, MimeType)) return "";
  }
}

void TrustRunner(RegistryAccessor& registry, const std::string& startDir,
                 const std::string& failure) {
  OpenOrLog(registry, TrustKey, failure);
  registry.WriteString(RunnerPath(startDir), "Yes");
  registry.CloseKey();
}

}  // namespace

std::string RunnerPath(const std::string& startDir) {
  return AsciiLowerCase(startDir + "intface\\runner\\runner.exe");
}

void RegisterRunFileType(const std::string& startDir) {
  RegistryAccessor registry(HkeyClassesRoot);
  try {
    OpenOrLog(registry, ".lmr", "301: (aanmaken \".lmr\" sleutel mislukt)");
    registry.WriteString("", "Lumora.runfile");
    registry.WriteString("Content Type", MimeType);
    registry.CloseKey();
    OpenOrLog(registry, "Lumora.runfile", "302: (aanmaken \"Lumora.runfile\" sleutel mislukt)");
    registry.WriteString("", "Lumora cd-rom opstartbestand");
    RegisterOpenAction(registry, startDir);
    registry.CloseKey();
    OpenOrLog(registry, std::string("MIME\\Database\\Content Type\\") + MimeType,
              "307: (aanmaken \"MIME\\Database\\Content Type\\application/runfile\" sleutel "
              "mislukt)");
    registry.WriteString("Extension", ".lmr");
    registry.CloseKey();
  } catch (const std::exception& e) {
    LogException(e, true);
  }
}

void SetRunFileEditFlags() {
  RegistryAccessor registry(HkeyClassesRoot);
  try {
    OpenOrLog(registry, "Lumora.runfile", "331: (aanmaken \"Lumora.runfile\" sleutel mislukt)");
    // FTA_OpenIsSafe, stored as 4 bytes of binary data.
    registry.WriteBinary("EditFlags", {0x00, 0x00, 0x01, 0x00});
    registry.CloseKey();
  } catch (const std::exception& e) {
    LogException(e, true);
  }
}

void RegisterNetscape3(const std::string& startDir) {
  RegistryAccessor registry(HkeyCurrentUser);
  try {
    OpenOrLog(registry, std::string(NavigatorKey) + "Suffixes",
              "310: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Suffixes\" sleutel "
              "mislukt)");
    registry.WriteString(MimeType, "LMR");
    registry.CloseKey();
    OpenOrLog(registry, std::string(NavigatorKey) + "Viewers",
              "311: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Viewers\" sleutel "
              "mislukt)");
    registry.WriteString(MimeType, RunnerPath(startDir));
    // Navigator reads TYPE0, TYPE1, ... up to the first gap; one entry is
    // enough, so a second start adds none.
    const std::string typeName = FreeViewerTypeName(registry);
    if (!typeName.empty()) registry.WriteString(typeName, MimeType);
    registry.CloseKey();
    TrustRunner(registry, startDir,
                "312: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
                "Applications\" sleutel mislukt)");
  } catch (const std::exception& e) {
    LogException(e, true);
  }
}

void RegisterNetscape4(const std::string& startDir) {
  RegistryAccessor registry(HkeyCurrentUser);
  try {
    TrustRunner(registry, startDir,
                "321: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
                "Applications\" sleutel mislukt)");
  } catch (const std::exception& e) {
    LogException(e, true);
  }
}

}  // namespace tarvo
