// The floor under a /DEBUG launch of a supported browser: the Win32 calls a
// launcher run makes, each once, on the same disc and PC, and nothing else:
// no catalogue entries, no log lines, no rules. The disc is in D: (its main
// page, catalogue and template under intface\, TARVO32.EXE in its root).
// Runs under the same watcher as the launcher, whose box it shows too.
#include <string>
#include <vector>

#include "platform/win32/procedure.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_headers.h"

namespace {

const char* const DiscLauncher = "D:\\TARVO32.EXE";
const char* const MainPage = "D:\\intface\\hoofd.htm";
const char* const Catalogue = "D:\\intface\\browsers.ini";
const char* const Template = "D:\\intface\\template.htm";
const char* const Log = "C:\\LMRSTART.LOG";
const char* const DebugReport =
    "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart procedure. "
    "Stuur deze naar helpdesk@lumora.nl voor verdere analyse. Alvast bedankt voor uw "
    "medewerking!";

using VersionSizeCall = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using VersionInfoCall = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryValueCall = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

void RestrictLibraries() {
  tarvo::LoadLibrariesFromTheSystemDirectoryOnly(tarvo::OptionalCalls::OfThisSystem());
  SetUnhandledExceptionFilter(nullptr);
}

// The version library from the system directory, one version read.
void ReadVersion() {
  char system[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const HMODULE version = LoadLibraryA((std::string(system, length) + "\\version.dll").c_str());
  const auto size = tarvo::ProcedureOf<VersionSizeCall>(version, "GetFileVersionInfoSizeA");
  const auto info = tarvo::ProcedureOf<VersionInfoCall>(version, "GetFileVersionInfoA");
  const auto query = tarvo::ProcedureOf<QueryValueCall>(version, "VerQueryValueA");
  if (!size || !info || !query) return;
  DWORD handle = 0;
  std::vector<char> block(size(DiscLauncher, &handle));
  if (block.empty() || !info(DiscLauncher, handle, static_cast<DWORD>(block.size()), block.data()))
    return;
  void* value = nullptr;
  UINT valueLength = 0;
  query(block.data(), "\\VarFileInfo\\Translation", &value, &valueLength);
}

std::string LookUpBrowser() {
  char volume[101] = {};
  char fileSystem[101] = {};
  DWORD serial = 0, longest = 0, flags = 0;
  GetVolumeInformationA("D:\\", volume, 100, &serial, &longest, &flags, fileSystem, 100);
  char browser[1024] = {};
  FindExecutableA(MainPage, "C:\\", browser);
  WIN32_FIND_DATAA found;
  const tarvo::ScopedSearch search(FindFirstFileA(browser, &found));
  return browser;
}

void ReadCatalogue() {
  char value[2048] = {};
  GetPrivateProfileStringA("Informatie", "Versie", "", value, sizeof value, Catalogue);
  char windows[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
}

void Register() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "Lumora.runfile", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const char description[] = "Lumora cd-rom opstartbestand";
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(description),
                 sizeof description);
  RegDeleteValueA(key, "Tarvo32 bench: no such value");
  RegCloseKey(key);
}

void MeasureScreen() {
  RECT workArea;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
}

std::string ReadFileWhole(const char* path) {
  const tarvo::ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return "";
  std::string content(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  if (!content.empty())
    ReadFile(file.get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
  return content;
}

void WriteFileWhole(const std::string& path, const std::string& content) {
  const tarvo::ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file.valid())
    WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

std::string MakeStartPage() {
  char temp[1024] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string page = std::string(temp) + "lmrstart.htm";
  WriteFileWhole(page, ReadFileWhole(Template));
  return page;
}

void Launch(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                     nullptr, &startup, &process)) {
    const tarvo::ScopedHandle processHandle(process.hProcess);
    const tarvo::ScopedHandle threadHandle(process.hThread);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibraries();
  GetCommandLineA();
  char own[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, own, MAX_PATH);
  ReadVersion();
  const std::string browser = LookUpBrowser();
  ReadCatalogue();
  Register();
  MeasureScreen();
  const std::string page = MakeStartPage();
  Launch(browser + " " + page);
  MessageBoxA(nullptr, DebugReport, "Tarvo32", MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
  WriteFileWhole(Log, "log\r\n");
  return 0;
}
