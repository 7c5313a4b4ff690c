// The enumeration limit of the best-browser search: walks a folder tree the
// way the search does (every folder whose name does not begin with ".",
// directory links left alone) and does nothing else with what it finds.
//
//   walk.exe [--ex] ROOT      ROOT ends in "\"
//
// --ex enumerates with FindFirstFileExA (FindExInfoBasic,
// FIND_FIRST_EX_LARGE_FETCH) where the system has it. Prints the walk's
// time in milliseconds and the number of entries it met.
#include <cstdio>
#include <string>

#include "bench_clock.h"
#include "platform/win32/procedure.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_headers.h"

namespace {

using FindFirstFileExCall = HANDLE(WINAPI*)(LPCSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS,
                                            LPVOID, DWORD);
// Windows 7's; older headers lack them.
constexpr FINDEX_INFO_LEVELS FindInfoBasic = static_cast<FINDEX_INFO_LEVELS>(1);
constexpr DWORD FindLargeFetch = 2;

FindFirstFileExCall findFirstEx = nullptr;

HANDLE FindFirst(const std::string& pattern, WIN32_FIND_DATAA& found) {
  if (findFirstEx) {
    return findFirstEx(pattern.c_str(), FindInfoBasic, &found, FindExSearchNameMatch, nullptr,
                       FindLargeFetch);
  }
  return FindFirstFileA(pattern.c_str(), &found);
}

bool IsFolderToWalk(const WIN32_FIND_DATAA& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && entry.cFileName[0] != '.';
}

long Walk(const std::string& path) {
  WIN32_FIND_DATAA entry;
  const tarvo::ScopedSearch search(FindFirst(path + "*.*", entry));
  if (!search.valid()) return 0;
  long entries = 0;
  do {
    ++entries;
    if (IsFolderToWalk(entry)) entries += Walk(path + entry.cFileName + "\\");
  } while (FindNextFileA(search.get(), &entry));
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  std::string root;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--ex") {
      findFirstEx = tarvo::ProcedureOf<FindFirstFileExCall>(GetModuleHandleA("kernel32.dll"),
                                                            "FindFirstFileExA");
    } else {
      root = argument;
    }
  }
  if (root.empty()) {
    std::fprintf(stderr, "usage: walk.exe [--ex] ROOT\\\n");
    return 2;
  }
  const bench::Stopwatch stopwatch;
  const long entries = Walk(root);
  std::printf("%.3f %ld entries\n", stopwatch.Milliseconds(), entries);
  return 0;
}
