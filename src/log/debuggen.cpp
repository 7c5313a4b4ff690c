#include "log/debuggen.h"

#include "log/command_line.h"
#include "log/log_file.h"
#include "log/support_address.h"
#include "platform/ascii_case.h"
#include "platform/message_box.h"
#include "platform/path_names.h"
#include "platform/win32_api.h"

namespace tarvo {

bool Debug = false;
bool ExtraChecks = false;
std::string StartDir;

namespace {

bool NamesStartDirectory(const std::string& argument) { return argument.find(':') == 1; }

void WriteLogHeader() {
  LogFile->AddLine(
      std::string("Stuur de complete inhoud van deze logfile naar ") + SupportAddress + " voor",
      false);
  LogFile->AddLine("een mogelijke oplossing. Verander niets aan de inhoud!", false);
  LogFile->AddLine("", false);
  LogFile->AddLine("", false);
  LogFile->AddLine(std::string(67, '-'), false);
}

}  // namespace

StartOptions ReadStartOptions(const std::vector<std::string>& arguments,
                              const std::string& programPath) {
  StartOptions options;
  for (const std::string& argument : arguments) {
    const std::string upper = AsciiUpperCase(argument);
    if (upper == "/DEBUG") options.debug = true;
    if (upper == "/CHECKS") options.extraChecks = true;
    if (NamesStartDirectory(argument)) options.startDir = upper;
  }
  if (options.startDir.empty()) {
    options.startDir = AsciiUpperCase(ExtractFilePath(programPath));
  }
  if (options.startDir.empty() || options.startDir.back() != '\\') {
    options.startDir += '\\';
  }
  return options;
}

std::vector<std::string> ClosingReports(bool debug, bool extraChecks,
                                        const std::string& logFileName) {
  const std::string in = "In " + logFileName;
  std::vector<std::string> reports;
  if (debug) {
    reports.push_back(in +
                      " is een gedetailleerd rapport aangemaakt over de opstart "
                      "procedure. Stuur deze naar " +
                      SupportAddress +
                      " voor verdere analyse. Alvast bedankt voor uw medewerking!");
  }
  if (extraChecks) {
    reports.push_back(in +
                      " is een gedetailleerd rapport aangemaakt over de opstart "
                      "procedure en de extra uitgevoerde controles. Als het "
                      "probleem blijft bestaan, kunt u het beste diit bestand "
                      "sturen naar " +
                      SupportAddress +
                      " voor verdere analyse. Alvast bedankt voor uw medewerking!");
  }
  if (!debug && !extraChecks) {
    reports.push_back(in +
                      " is een gedetailleerd rapport aangemaakt over het gevonden "
                      "opstartprobleem. Stuur deze naar " +
                      SupportAddress + " voor een mogelijke oplossing.");
  }
  return reports;
}

void DebuggenStart() {
  const std::vector<std::string> words = SplitCommandLine(Api().GetCommandLine());
  const std::vector<std::string> arguments(words.empty() ? words.end() : words.begin() + 1,
                                           words.end());
  const StartOptions options = ReadStartOptions(arguments, Api().GetModuleFileName());
  Debug = options.debug;
  ExtraChecks = options.extraChecks;
  StartDir = options.startDir;

  LogFile = TLogFile::Create();
  LogFile->SetFileName("C:\\LMRSTART.LOG");
  LogFile->SetDelete(!Debug && !ExtraChecks);
  WriteLogHeader();
}

void DebuggenClose() {
  // Without a log (its creation failed) there is nothing to finish or report.
  if (!LogFile) return;
  LogFile->AddLine("", false);
  LogFile->AddLine("", false);
  const bool kept = !LogFile->Delete();
  const std::string fileName = LogFile->FileName();
  // Written before the reports, so that they never point at a file that a
  // failed write left missing.
  FreeLogFile();
  if (!kept) return;
  for (const std::string& report : ClosingReports(Debug, ExtraChecks, fileName)) {
    ShowMessage(report);
  }
}

}  // namespace tarvo
