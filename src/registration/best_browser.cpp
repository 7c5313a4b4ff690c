#include "registration/best_browser.h"

#include <algorithm>

#include "browser/browser_identification.h"
#include "browser/catalogue_file.h"
#include "log/log_file.h"
#include "platform/ascii_case.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

// The same order for sorting and searching. The invariant locale keeps "i"
// and "I" equal whatever the user's language (not so in Turkish); systems
// without it fall back to folding ASCII letters only.
int CompareNames(const std::string& first, const std::string& second) {
  const int result = Api().CompareString(LocaleInvariant, NormIgnoreCase, first, second);
  if (result != 0) return result - CstrEqual;
  return AsciiUpperCase(first).compare(AsciiUpperCase(second));
}

bool NameLess(const std::string& first, const std::string& second) {
  return CompareNames(first, second) < 0;
}

bool IsFolderToSearch(const FindData& entry) {
  return (entry.attributes & FileAttributeDirectory) &&
         !(entry.attributes & FileAttributeReparsePoint) && !entry.name.empty() &&
         entry.name[0] != '.';
}

std::string ChooseBestBrowser() {
  BrowserExeList names;
  const CatalogueReader catalogue(GetBrowserIniFileName());
  const int count = ForEachRecognitionEntry(catalogue, [&](int entry, const std::string& exeName) {
    const std::string code =
        catalogue.ReadString(RecognitionSection, "EIntern" + std::to_string(entry), "");
    if (IsSupportedEntry(code)) names.Add(AsciiUpperCase(exeName + ".EXE"));
  });
  LogLine("xxx GBB: Count = " + std::to_string(count));
  LogLine("xxx GBB: (aantal .exe in lijst = " + std::to_string(names.Count()) + ")");

  std::vector<std::string> found;
  SearchBrowserFiles("C:\\", names, found);
  LogLine("xxx GBB: (aantal gevonden browsers = " + std::to_string(found.size()) + ")");
  const std::string preference = catalogue.ReadString(PreferenceSection, "Voorkeur", "");
  LogLine("xxx GBB: BrowserVoorkeur = " + preference);

  int best = -1;
  std::size_t bestScore = 0;
  for (std::size_t i = 0; i < found.size(); ++i) {
    const std::string code = GetBrowserName(found[i]);
    LogLine("xxx GBB: BrowserIntern = " + code);
    const std::size_t score = PreferenceScore(code, preference);
    LogLine("xxx GBB: Score = " + std::to_string(score));
    if (score > bestScore) {
      bestScore = score;
      best = static_cast<int>(i);
    }
  }
  LogLine("xxx GBB: BesteScore = " + std::to_string(bestScore));
  LogLine("xxx GBB: BesteBrowser = " + std::to_string(best));
  if (best < 0) return "";
  const std::string& winner = found[static_cast<std::size_t>(best)];
  LogLine("xxx GBB: (ofwel " + winner + ")");
  return winner;
}

}  // namespace

bool IsSupportedEntry(const std::string& entryCode) { return AsciiUpperCase(entryCode) != "NA"; }

std::size_t PreferenceScore(const std::string& code, const std::string& preference) {
  if (code.empty()) return 0;
  const auto position = preference.find(code);
  return position == std::string::npos ? 0 : position + 1;
}

void BrowserExeList::Add(const std::string& name) {
  const auto place = std::lower_bound(names_.begin(), names_.end(), name, NameLess);
  if (place == names_.end() || CompareNames(*place, name) != 0) names_.insert(place, name);
}

bool BrowserExeList::Contains(const std::string& name) const {
  // Every file of the drive is looked up, and the search's cost beyond the
  // walk itself is in these comparisons: one per step, equal ends it.
  std::size_t low = 0;
  std::size_t high = names_.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const int order = CompareNames(name, names_[middle]);
    if (order == 0) return true;
    if (order < 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return false;
}

std::string GetBestBrowser() {
  try {
    return ChooseBestBrowser();
  } catch (const std::exception& e) {
    LogException(e, false);
    return "";
  }
}

void SearchBrowserFiles(const std::string& path, const BrowserExeList& names,
                        std::vector<std::string>& found) {
  FindData entry;
  const UniqueSearch search(Api().FindFirstFile(path + "*.*", entry));
  if (!search) return;
  do {
    if (IsFolderToSearch(entry)) SearchBrowserFiles(path + entry.name + "\\", names, found);
    // A folder of a browser's name is no browser to start.
    if (!(entry.attributes & FileAttributeDirectory) && names.Contains(entry.name)) {
      found.push_back(path + entry.name);
    }
  } while (Api().FindNextFile(search.get(), entry));
}

}  // namespace tarvo
