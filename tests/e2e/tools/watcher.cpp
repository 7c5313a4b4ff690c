// Runs a program and plays the user in front of its message boxes.
//
//   watcher.exe [options] <record-file> <program> <word 0> [args...]
//   watcher.exe [options] <record-file> <program> <word 0> --tail <raw command-line tail>
//
// The program is started by its path; its command line begins with <word 0>
// as given (a shell may write a relative or short name there). With args,
// each is quoted so the program's C runtime gets it back as is; with --tail,
// the text follows word 0 verbatim, for programs that parse their own
// command line. Records, one line each (see record.h):
//   start-failed <GetLastError>
//   started      (the program runs from here on)
//   box  <1 if it shows an icon, else 0>  <caption hex>  <text hex>
//   exit <exit code>
// Options:
//   --pictures <folder>  saves each box as it stands on the screen, before it
//                        is answered, as <folder>\box-<n>.bmp (n from 1)
//   --by-hand            records the boxes but leaves answering them to a
//                        person at the display
#include <fstream>
#include <string>

#include "box_picture.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_headers.h"
#include "record.h"

namespace {

// Message boxes are dialogs of this class with their text in this control.
const char* const DialogClass = "#32770";
const int MessageTextId = 0xFFFF;
const DWORD PollMilliseconds = 20;

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only in front of a quote.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + '"';
}

struct Options {
  std::string pictures;  // folder for the boxes' pictures; none when empty
  bool byHand = false;
};

// `words` from word 0 on: <word 0> [args...] or <word 0> --tail <tail>.
std::string CommandLine(int count, char** words) {
  std::string line = words[0];
  if (count == 3 && std::string(words[1]) == "--tail") return line + ' ' + words[2];
  for (int i = 1; i < count; ++i) line += ' ' + QuoteArgument(words[i]);
  return line;
}

std::string WindowText(HWND window) {
  std::string text(GetWindowTextLengthA(window) + 1, '\0');
  text.resize(GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
  return text;
}

std::string ClassName(HWND window) {
  char name[64] = {};
  return std::string(name, GetClassNameA(window, name, sizeof name));
}

bool IsIconControl(HWND control) {
  return ClassName(control) == "Static" &&
         (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
         SendMessageA(control, STM_GETICON, 0, 0) != 0;
}

BOOL CALLBACK FindIconControl(HWND control, LPARAM found) {
  if (!IsIconControl(control)) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

// A box without an icon still has the icon control, but empty.
bool ShowsIcon(HWND box) {
  bool found = false;
  EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct BoxSearch {
  DWORD processId;
  HWND box;
};

BOOL CALLBACK FindVisibleBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || ClassName(window) != DialogClass)
    return TRUE;
  search->box = window;
  return FALSE;
}

HWND VisibleBoxOf(DWORD processId) {
  BoxSearch search{processId, nullptr};
  EnumWindows(FindVisibleBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

void RecordBox(const std::string& recordFile, HWND box) {
  HWND text = GetDlgItem(box, MessageTextId);
  AppendRecord(recordFile, {"box", ShowsIcon(box) ? "1" : "0", HexBytes(WindowText(box)),
                            HexBytes(text ? WindowText(text) : std::string())});
}

void SavePicture(const std::string& folder, int number, HWND box) {
  std::ofstream(folder + "\\box-" + std::to_string(number) + ".bmp", std::ios::binary)
      << SettledWindowPicture(box);
}

void PressOk(HWND box) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

bool StillRunning(HANDLE process) {
  return WaitForSingleObject(process, PollMilliseconds) == WAIT_TIMEOUT;
}

// Answers every box the process shows, in order, until it ends.
void AnswerBoxes(const std::string& recordFile, const Options& options,
                 const PROCESS_INFORMATION& child) {
  int shown = 0;
  while (StillRunning(child.hProcess)) {
    HWND box = VisibleBoxOf(child.dwProcessId);
    if (!box) continue;
    RecordBox(recordFile, box);
    if (!options.pictures.empty()) SavePicture(options.pictures, ++shown, box);
    if (!options.byHand) PressOk(box);
    while (IsWindow(box) && StillRunning(child.hProcess)) {
      // until the box has gone, so that it is recorded once
    }
  }
}

// Processes the child starts (a browser) join its job, so their end can be
// awaited too: the harness reads what they wrote once the watcher returns.
void AwaitEveryProcessOf(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
  while (QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr) &&
         accounting.ActiveProcesses > 0) {
    Sleep(PollMilliseconds);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int first = 1;  // the record file's argument, after the options
  for (; first < argc && std::string(argv[first]).rfind("--", 0) == 0; ++first) {
    const std::string option = argv[first];
    if (option == "--by-hand") {
      options.byHand = true;
    } else if (option == "--pictures" && first + 1 < argc) {
      options.pictures = argv[++first];
    } else {
      return 2;
    }
  }
  if (argc - first < 3) return 2;
  const std::string recordFile = argv[first];
  const char* program = argv[first + 1];
  std::string line = CommandLine(argc - first - 2, argv + first + 2);

  // Wine starts its desktop process for whoever needs the desktop first;
  // started by the child it would join the job and never end.
  GetDesktopWindow();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  tarvo::ScopedHandle job(CreateJobObjectA(nullptr, nullptr));
  if (!job.valid() || !CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                      nullptr, nullptr, &startup, &child)) {
    AppendRecord(recordFile, {"start-failed", std::to_string(GetLastError())});
    return 1;
  }
  tarvo::ScopedHandle process(child.hProcess);
  tarvo::ScopedHandle thread(child.hThread);
  if (!AssignProcessToJobObject(job.get(), process.get())) {
    AppendRecord(recordFile, {"start-failed", std::to_string(GetLastError())});
    TerminateProcess(process.get(), 1);
    return 1;
  }
  // The harness starts the watcher again after a failure only while this
  // line is missing: the program must not run unless it stands.
  if (!AppendRecord(recordFile, {"started"})) {
    TerminateProcess(process.get(), 1);
    return 1;
  }
  ResumeThread(thread.get());

  AnswerBoxes(recordFile, options, child);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.get(), &exitCode);
  AppendRecord(recordFile, {"exit", std::to_string(exitCode)});
  AwaitEveryProcessOf(job.get());
  return 0;
}
