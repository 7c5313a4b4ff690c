// Stands in for a web browser: appends the raw command line it was started
// with, and its own path so tests can tell several stubs apart, to
// C:\stub-browser.log, then exits.
#include "record.h"
#include "win32.h"

namespace {

const char* const kRecordFile = "C:\\stub-browser.log";

std::string ownPath() {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return appendRecord(kRecordFile, {hexBytes(ownPath()), hexBytes(GetCommandLineA())}) ? 0 : 1;
}
