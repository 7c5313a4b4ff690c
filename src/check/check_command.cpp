#include "check/check_command.h"

#include <optional>
#include <stdexcept>

#include "browser/catalogue_file.h"
#include "check/identify.h"
#include "helpdesk/log_command.h"
#include "check/master_check.h"
#include "check/report.h"
#include "log/log_file.h"
#include "platform/disc_files.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

const char* const Usage =
    "usage: tarvo-check [--json] MASTER\n"
    "       tarvo-check identify PROGRAM [--version VERSION] [--master MASTER]\n"
    "       tarvo-check log [--json] PATH...\n"
    "\n"
    "Checks the disc master folder MASTER for what the launcher would trip over:\n"
    "missing files, catalogue faults, placeholders that are never filled in.\n"
    "Exit status: 0 no findings, 1 findings, 2 bad usage or an unreadable master.\n"
    "\n"
    "identify tells which catalogue entry and code the launcher gives the browser\n"
    "PROGRAM (with VERSION as its product version, if given; otherwise the\n"
    "file's own) and the size of its window, from the catalogue of MASTER (the\n"
    "current folder unless given).\n"
    "\n"
    "log reads a reader's LMRSTART.LOG: the run it records, and each problem it\n"
    "shows with what it means and what to tell the reader (in Dutch). A mail\n"
    "(.eml) is read for the log attached to it or pasted into it. More than one\n"
    "PATH, or a folder (with its subfolders: .log, .txt and .eml files): a line\n"
    "for each file, then how many logs show each problem, browser and outcome.\n"
    "Exit status: 0 no problem, 1 findings, 2 no PATH holds a readable log.\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string MasterRoot(const std::string& folder) {
  const bool ended = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
  return ended ? folder : folder + '\\';
}

// The master's own catalogue is the one every reader of the launcher reads.
std::string OpenMaster(const std::string& folder) {
  const std::string root = MasterRoot(folder);
  FindData found;
  if (!UniqueSearch(Api().FindFirstFile(root + "*.*", found))) {
    throw UsageError("no folder " + folder);
  }
  if (!LogFile) LogFile = TLogFile::Create();
  BrowserIniFile = root + CatalogueFile;
  return root;
}

// The value after option `arguments[i]`, which moves `i` on.
std::string OptionValue(const std::vector<std::string>& arguments, std::size_t& i) {
  if (i + 1 >= arguments.size()) throw UsageError(arguments[i] + " needs a value");
  return arguments[++i];
}

CheckStatus Identify(const std::vector<std::string>& arguments, std::ostream& out) {
  std::optional<std::string> program;
  std::optional<std::string> version;
  std::string master = ".";
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--version") {
      version = OptionValue(arguments, i);
    } else if (arguments[i] == "--master") {
      master = OptionValue(arguments, i);
    } else if (arguments[i].rfind("--", 0) != 0 && !program) {
      program = arguments[i];
    } else {
      throw UsageError("unexpected " + arguments[i]);
    }
  }
  if (!program) throw UsageError("identify needs a PROGRAM");
  OpenMaster(master);
  const Identification browser = IdentifyBrowser(*program, version);
  out << "version: " << (browser.version.empty() ? "(none)" : browser.version) << '\n';
  if (browser.entry == 0) {
    out << "entry: none matches\n";
  } else {
    out << "entry: " << browser.entry << " (" << browser.name << ")\n";
  }
  out << "code: " << browser.code << '\n';
  if (!browser.sized) {
    out << "window: none; the launcher looks for a better browser on drive C:\n";
  } else {
    out << "window: " << browser.width << " x " << browser.height << " pixels"
        << (browser.measured ? "" : " (without caption and borders, which Windows did not tell)")
        << '\n';
  }
  return CheckClean;
}

CheckStatus ReadLog(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& error) {
  bool json = false;
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--json") {
      json = true;
    } else if (arguments[i].rfind("--", 0) != 0) {
      paths.push_back(arguments[i]);
    } else {
      throw UsageError("unexpected " + arguments[i]);
    }
  }
  if (paths.empty()) throw UsageError("log needs a PATH");
  switch (CheckLogs(paths, json, out, error)) {
    case LogStatus::Clean:
      return CheckClean;
    case LogStatus::Findings:
      return CheckFoundFaults;
    case LogStatus::NoLog:
      break;
  }
  return CheckBadUsage;
}

CheckStatus Check(const std::vector<std::string>& arguments, std::ostream& out) {
  bool json = false;
  std::optional<std::string> master;
  for (const std::string& argument : arguments) {
    if (argument == "--json") {
      json = true;
    } else if (argument.rfind("--", 0) != 0 && !master) {
      master = argument;
    } else {
      throw UsageError("unexpected " + argument);
    }
  }
  if (!master) throw UsageError("no MASTER folder given");
  const std::string root = OpenMaster(*master);
  const Findings findings = CheckMaster(root);
  if (json) {
    WriteFindingsJson(findings, out);
  } else {
    WriteFindingsText(findings, root, out);
  }
  return findings.empty() ? CheckClean : CheckFoundFaults;
}

}  // namespace

CheckStatus RunTarvoCheck(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& error) {
  if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << Usage;
    return CheckClean;
  }
  try {
    if (!arguments.empty() && arguments[0] == "identify") return Identify(arguments, out);
    if (!arguments.empty() && arguments[0] == "log") return ReadLog(arguments, out, error);
    return Check(arguments, out);
  } catch (const UsageError& e) {
    error << "tarvo-check: " << e.what() << "\n\n" << Usage;
  } catch (const std::exception& e) {
    error << "tarvo-check: " << e.what() << '\n';
  }
  return CheckBadUsage;
}

}  // namespace tarvo
