// Checks: the search of drive C: for the most preferred browser the
// catalogue knows, for a default browser that is unknown or unsupported.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

// The executable names to look for, kept sorted and free of duplicates
// under one comparison: CompareString in the invariant locale without
// regard to case, or ASCII case folding where the system lacks that locale.
class BrowserExeList {
 public:
  void Add(const std::string& name);
  bool Contains(const std::string& name) const;
  std::size_t Count() const { return names_.size(); }

 private:
  std::vector<std::string> names_;
};

// False for an entry whose "EIntern" is "NA" in any case: a browser the
// disc does not support, which the search does not look for.
bool IsSupportedEntry(const std::string& entryCode);

// The search's score of a browser code: the position (from 1) of its first
// occurrence in the preference text, compared case-sensitively; 0 when it
// does not occur or is empty.
std::size_t PreferenceScore(const std::string& code, const std::string& preference);

// Walks drive C:, identifies every file named in the catalogue's supported
// entries and returns the full path of the one whose code occurs furthest
// towards the end of the catalogue's preference text (the first found on a
// tie), or the empty text. Logs its steps; a failure is logged and gives
// the empty text.
std::string GetBestBrowser();

// Adds to `found` the path of every file below `path` (ending in "\"), at
// any depth, whose name is in `names`. Directory links are not followed.
void SearchBrowserFiles(const std::string& path, const BrowserExeList& names,
                        std::vector<std::string>& found);

}  // namespace tarvo
