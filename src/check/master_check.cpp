#include "check/master_check.h"

#include <algorithm>

#include "app/launcher_version.h"
#include "check/autorun_check.h"
#include "check/catalogue_check.h"
#include "check/template_check.h"
#include "platform/disc_files.h"
#include "platform/file_helpers.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

struct DiscFile {
  const char* path;
  const char* use;  // what the launcher does with it
};

const DiscFile DiscFiles[] = {
    {DiscLauncherFile, "the launcher itself, whose FileVersion the running launcher checks"},
    {CatalogueFile,
     "the browser catalogue: without it the launcher knows only what an earlier disc left in the "
     "Windows directory"},
    {MainPageFile, "the main page: without it the launcher takes the folder for no disc and stops"},
    {FramePageFile, "the main page for Navigator 3 and 4, which the start page names"},
    {TemplateFile, "the start page's template: without it the launcher stops"},
    {SmallScreenPageFile, "the page the browser opens when the screen is too small"},
    {OldBrowserPageFile, "the page the browser opens when no supported browser is found"},
    {OverviewPageFile, "the page the launcher tells the reader to open when the browser fails"},
};

void CheckFiles(const std::string& root, Findings& findings) {
  for (const DiscFile& file : DiscFiles) {
    if (FileExists(root + file.path)) continue;
    findings.push_back({"missing-file", file.path, 0, std::string("missing: ") + file.use});
  }
}

// The disc's launcher against the one this checker comes with.
void CheckLauncher(const std::string& root, Findings& findings) {
  const std::string path = root + DiscLauncherFile;
  if (!FileExists(path)) return;
  const std::string version = LauncherVersion(path);
  const std::string current = LauncherVersion(Api().GetModuleFileName());
  if (version.empty()) {
    findings.push_back({"launcher-version", DiscLauncherFile, 0,
                        "no FileVersion: the launcher's version check then lets any older copy "
                        "of the launcher start this disc"});
  } else if (CompareLauncherVersions(version, current) < 0) {
    findings.push_back({"launcher-version", DiscLauncherFile, 0,
                        "version " + version + " is older than the current launcher, " + current});
  }
}

// Adds what `check` finds in the text of the master's file `file`, when
// it is there.
template <typename Check>
void CheckTextFile(const std::string& root, const char* file, Check check, Findings& findings) {
  const std::string path = root + file;
  if (!FileExists(path)) return;
  const Findings found = check(path, ReadWholeFile(path));
  findings.insert(findings.end(), found.begin(), found.end());
}

}  // namespace

Findings CheckMaster(const std::string& root) {
  Findings findings;
  CheckFiles(root, findings);
  CheckLauncher(root, findings);
  const Findings autorun = CheckAutorun(root);
  findings.insert(findings.end(), autorun.begin(), autorun.end());
  CheckTextFile(
      root, CatalogueFile,
      [](const std::string& path, const std::string& text) {
        return CheckCatalogue(path, text, CatalogueFile);
      },
      findings);
  CheckTextFile(
      root, TemplateFile,
      [](const std::string&, const std::string& text) { return CheckTemplate(text, TemplateFile); },
      findings);
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return findings;
}

}  // namespace tarvo
