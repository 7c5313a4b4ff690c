#include "check/catalogue_check.h"

#include <algorithm>
#include <map>

#include "browser/browser_identification.h"
#include "browser/catalogue_file.h"
#include "check/ini_layout.h"
#include "platform/ascii_case.h"
#include "platform/catalogue_reader.h"
#include "registration/best_browser.h"

namespace tarvo {

namespace {

const char* const EntryKeys[] = {"EXEnaam", "EVersie", "EIntern", "EExtern"};
// Above any catalogue a person writes; keeps the number within an int.
constexpr std::string::size_type MaxEntryDigits = 6;

// The entry number of a key such as "EIntern12" written as the launcher
// names it (no leading zeros); 0 for any other key.
int EntryNumber(const std::string& keyName) {
  for (const std::string stem : EntryKeys) {
    if (keyName.size() <= stem.size() ||
        !IniLayout::SameName(keyName.substr(0, stem.size()), stem)) {
      continue;
    }
    const std::string digits = keyName.substr(stem.size());
    const bool plainNumber = digits[0] != '0' && digits.size() <= MaxEntryDigits &&
                             digits.find_first_not_of("0123456789") == std::string::npos;
    return plainNumber ? std::stoi(digits) : 0;
  }
  return 0;
}

struct Entry {
  int number;
  std::string exeName;
  std::string version;  // "EVersie"
  std::string intern;   // "EIntern" as written
};

// A code the launcher can give a supported browser, with the line of the
// first entry that gives it.
struct LiveCode {
  std::string code;
  int line;
};

class CatalogueCheck {
 public:
  CatalogueCheck(const std::string& fileName, const std::string& text, std::string file)
      : catalogue_(fileName), layout_(text), file_(std::move(file)) {}

  Findings Run() {
    CheckVersion();
    std::vector<Entry> entries;
    const int end = ForEachRecognitionEntry(catalogue_, [&](int number, const std::string& name) {
      entries.push_back({number, name, Read(RecognitionSection, EntryKey("EVersie", number)),
                         Read(RecognitionSection, EntryKey("EIntern", number))});
    });
    CheckUnreadEntries(end);
    std::vector<LiveCode> codes;
    for (const Entry& entry : entries) {
      CheckName(entry);
      CheckCode(entry);
      if (CheckShadowed(entry) || !IsSupportedEntry(entry.intern)) continue;
      const std::string code = EntryCode(catalogue_, entry.number);
      const bool known = std::any_of(codes.begin(), codes.end(),
                                     [&](const LiveCode& other) { return other.code == code; });
      if (!code.empty() && !known) codes.push_back({code, EntryLine("EIntern", entry.number)});
    }
    CheckPreference(codes);
    for (const LiveCode& code : codes) CheckSizes(code);
    CheckRepeats();
    return std::move(findings_);
  }

 private:
  static std::string EntryKey(const char* stem, int number) {
    return stem + std::to_string(number);
  }

  std::string Read(const std::string& section, const std::string& key) const {
    return catalogue_.ReadString(section, key, "");
  }

  // The line of an entry's key, or else of its "EXEnaam".
  int EntryLine(const char* stem, int number) const {
    const int line = layout_.KeyLine(RecognitionSection, EntryKey(stem, number));
    return line != 0 ? line : layout_.KeyLine(RecognitionSection, EntryKey("EXEnaam", number));
  }

  void Add(const char* code, int line, const std::string& message) {
    findings_.push_back({code, file_, line, message});
  }

  void CheckVersion() {
    const std::string text = Read(InformationSection, "Versie");
    const int line = std::max(layout_.KeyLine(InformationSection, "Versie"),
                              layout_.SectionLine(InformationSection));
    const std::string effect =
        ": the launcher then never copies this catalogue over the one in the Windows directory, "
        "and reads that one instead (without it, it knows no browser at all)";
    const auto version = ParseCatalogueInteger(text);
    if (text.empty()) {
      Add("catalogue-version", line, "[Informatie] has no \"Versie\", which counts as 0" + effect);
    } else if (!version) {
      Add("catalogue-version", line,
          "Versie " + Quoted(text) + " is no number, so it counts as 0" + effect);
    } else if (*version <= 0) {
      Add("catalogue-version", line, "Versie " + text + " is not above 0" + effect);
    }
  }

  // Entries from `end` on: the launcher's list stops at the first entry
  // whose "EXEnaam" is missing or empty.
  void CheckUnreadEntries(int end) {
    std::map<int, int> firstLines;
    for (const IniLayout::Key& key : layout_.Keys(RecognitionSection)) {
      const int number = EntryNumber(key.name);
      if (number >= end) firstLines.emplace(number, key.line);
    }
    for (const auto& [number, firstLine] : firstLines) {
      const int nameLine = layout_.KeyLine(RecognitionSection, EntryKey("EXEnaam", number));
      const int line = nameLine != 0 ? nameLine : firstLine;
      if (number == end) {
        Add("exe-empty", line,
            EntryKey("EXEnaam", number) + (nameLine != 0 ? " is empty" : " is missing") +
                ": the launcher's list of browsers ends there, so entry " + std::to_string(number) +
                " is never read");
      } else {
        Add("entry-after-gap", line,
            "entry " + std::to_string(number) +
                " follows a gap: the launcher reads entries up to " + EntryKey("EXEnaam", end) +
                ", which is missing or empty, and never this one");
      }
    }
  }

  void CheckName(const Entry& entry) {
    const std::string upperName = AsciiUpperCase(entry.exeName);
    const std::string suffix = ".EXE";
    const bool hasSuffix =
        upperName.size() >= suffix.size() &&
        upperName.compare(upperName.size() - suffix.size(), suffix.size(), suffix) == 0;
    if (!hasSuffix || !IsSupportedEntry(entry.intern)) return;
    Add("exe-suffix", EntryLine("EXEnaam", entry.number),
        EntryKey("EXEnaam", entry.number) + " " + Quoted(entry.exeName) +
            " ends in .exe: the search of drive C: looks for " + upperName +
            ".EXE and never finds this browser (write the name without .exe)");
  }

  void CheckCode(const Entry& entry) {
    const std::string key = EntryKey("EIntern", entry.number);
    if (entry.intern.empty()) {
      Add("code-empty", EntryLine("EIntern", entry.number),
          key +
              " is empty: a browser this entry matches gets the empty code, which the launcher "
              "takes for a known, supported browser without a window size or preference");
    } else if (entry.intern.size() > 3) {
      Add("code-truncated", EntryLine("EIntern", entry.number),
          key + " " + Quoted(entry.intern) + " is longer than three characters: only " +
              Quoted(EntryCode(catalogue_, entry.number)) + " counts as the browser code");
    }
  }

  // True when a later entry matches every browser this one matches, so
  // that this one never decides: such an entry matches a browser named
  // just like this entry's "EXEnaam", with just its "EVersie".
  bool CheckShadowed(const Entry& entry) {
    int last = 0;
    ForEachMatchingEntry(catalogue_, entry.exeName, entry.version,
                         [&](int match) { last = match; });
    if (last <= entry.number) return false;
    Add("entry-shadowed", EntryLine("EXEnaam", entry.number),
        "entry " + std::to_string(entry.number) + " is never chosen: entry " +
            std::to_string(last) + " (" + EntryKey("EXEnaam", last) + " " +
            Quoted(Read(RecognitionSection, EntryKey("EXEnaam", last))) + ", " +
            EntryKey("EVersie", last) + " " +
            Quoted(Read(RecognitionSection, EntryKey("EVersie", last))) +
            ") matches every browser this one matches, and the later match wins");
    return true;
  }

  void CheckPreference(const std::vector<LiveCode>& codes) {
    const std::string preference = Read(PreferenceSection, "Voorkeur");
    const int line = std::max(layout_.KeyLine(PreferenceSection, "Voorkeur"),
                              layout_.SectionLine(PreferenceSection));
    if (preference != AsciiUpperCase(preference)) {
      Add("preference-lowercase", line,
          "Voorkeur " + Quoted(preference) +
              " holds lower-case letters: browser codes are upper case and the search compares "
              "them case-sensitively, so those letters never match");
    }
    for (const LiveCode& code : codes) {
      const std::size_t score = PreferenceScore(code.code, preference);
      if (score == 0) {
        Add("code-not-preferred", code.line,
            code.code +
                " does not occur in Voorkeur: the search of drive C: never chooses this browser");
        continue;
      }
      const std::string* cover = CoveringCode(code.code, score - 1, codes, preference);
      if (cover == nullptr) continue;
      Add("preference-overlap", line,
          code.code + " first occurs in Voorkeur inside " + *cover +
              ": the search scores it there, at position " + std::to_string(score) +
              ", not where it stands on its own");
    }
  }

  // Another code whose occurrence in the preference text holds the piece
  // of `code` at `position`.
  static const std::string* CoveringCode(const std::string& code, std::size_t position,
                                         const std::vector<LiveCode>& codes,
                                         const std::string& preference) {
    for (const LiveCode& other : codes) {
      if (other.code.size() <= code.size()) continue;
      for (auto start = preference.find(other.code);
           start != std::string::npos && start <= position;
           start = preference.find(other.code, start + 1)) {
        if (position + code.size() <= start + other.code.size()) return &other.code;
      }
    }
    return nullptr;
  }

  void CheckSizes(const LiveCode& code) {
    const std::string height = Read(code.code, "ExtraH");
    const std::string width = Read(code.code, "ExtraW");
    if (height.empty() && width.empty()) {
      Add("size-section-missing", code.line,
          "no section [" + code.code +
              "] with ExtraH and ExtraW: the launcher gives this browser's window no room beyond "
              "the 640 x 480 page and its caption");
      return;
    }
    for (const auto& [key, value] : {std::pair{"ExtraH", height}, std::pair{"ExtraW", width}}) {
      if (value.empty() || ParseCatalogueInteger(value)) continue;
      Add("size-not-number", layout_.KeyLine(code.code, key),
          std::string(key) + " " + Quoted(value) + " in [" + code.code +
              "] is no number: the launcher counts it as 0");
    }
  }

  // The profile lookup reads only the first section of a name, and only
  // the first key of a name in it.
  void CheckRepeats() {
    for (const IniLayout::Section& section : layout_.Sections()) {
      const int first = layout_.SectionLine(section.name);
      if (first != section.line) {
        Add("section-repeated", section.line,
            "[" + section.name +
                "] comes a second time: the launcher reads only the first, on line " +
                std::to_string(first) + ", and never the keys below this one");
        continue;
      }
      for (const IniLayout::Key& key : section.keys) {
        const int firstKey = layout_.KeyLine(section.name, key.name);
        if (firstKey == key.line) continue;
        Add("key-repeated", key.line,
            key.name + " comes a second time in [" + section.name +
                "]: the launcher reads only the first, on line " + std::to_string(firstKey));
      }
    }
  }

  CatalogueReader catalogue_;
  IniLayout layout_;
  std::string file_;
  Findings findings_;
};

}  // namespace

Findings CheckCatalogue(const std::string& fileName, const std::string& text,
                        const std::string& file) {
  return CatalogueCheck(fileName, text, file).Run();
}

}  // namespace tarvo
