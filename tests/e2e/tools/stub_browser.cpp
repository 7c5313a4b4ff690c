// Stands in for a web browser: appends the raw command line it was started
// with, and its own path so tests can tell several stubs apart, to
// C:\stub-browser.log, then exits.
#include "platform/win32/windows_headers.h"
#include "record.h"

namespace {

const char* const RecordFile = "C:\\stub-browser.log";

std::string OwnPath() {
  char path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return AppendRecord(RecordFile, {HexBytes(OwnPath()), HexBytes(GetCommandLineA())}) ? 0 : 1;
}
