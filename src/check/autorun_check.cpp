#include "check/autorun_check.h"

#include <algorithm>

#include "check/ini_layout.h"
#include "platform/ascii_case.h"
#include "platform/catalogue_reader.h"
#include "platform/disc_files.h"
#include "platform/file_helpers.h"

namespace tarvo {

namespace {

const char* const AutorunSection = "autorun";
const char* const StartsNothing = ": Windows starts nothing when the reader puts the disc in";

// Autorun takes names from the disc's root, with or without a leading "\".
std::string FromRoot(const std::string& name) {
  return !name.empty() && name[0] == '\\' ? name.substr(1) : name;
}

// The program an "open=" command line starts: its quoted first part, or
// everything up to the first blank.
std::string CommandProgram(const std::string& command) {
  if (!command.empty() && command[0] == '"') return command.substr(1, command.find('"', 1) - 1);
  return command.substr(0, command.find(' '));
}

// The file of an "icon=" value, without the icon's number after a comma.
std::string IconFile(const std::string& value) {
  const auto comma = value.rfind(',');
  if (comma == std::string::npos || !ParseCatalogueInteger(value.substr(comma + 1))) return value;
  return value.substr(0, comma);
}

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// What plain ISO 9660 (level 1) keeps of a name unchanged: up to eight
// letters, digits or "_", and for a file a dot and up to three more.
bool IsShortPart(const std::string& part, bool folder) {
  const auto dot = part.find('.');
  const std::string stem = part.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : part.substr(dot + 1);
  const auto allShort = [](const std::string& text) {
    return std::all_of(text.begin(), text.end(), IsNameCharacter);
  };
  if (folder && dot != std::string::npos) return false;
  return !stem.empty() && stem.size() <= 8 && extension.size() <= 3 && allShort(stem) &&
         allShort(extension);
}

bool IsShortPath(const std::string& path) {
  std::string::size_type start = 0;
  for (auto end = path.find('\\'); end != std::string::npos; end = path.find('\\', start)) {
    if (!IsShortPart(path.substr(start, end - start), true)) return false;
    start = end + 1;
  }
  return IsShortPart(path.substr(start), false);
}

class AutorunCheck {
 public:
  AutorunCheck(const std::string& root, const std::string& text)
      : root_(root), autorun_(root + AutorunFile), layout_(text) {}

  Findings Run() {
    const std::string command = autorun_.ReadString(AutorunSection, "open", "");
    const std::string program = FromRoot(CommandProgram(command));
    if (command.empty()) {
      Add("autorun-open", "open", std::string("[autorun] has no open=") + StartsNothing);
    } else if (AsciiLowerCase(program) != DiscLauncherFile) {
      Add("autorun-open", "open",
          "open=" + Quoted(command) + " does not start " + DiscLauncherFile +
              " from the disc's root: Windows starts that instead of the launcher");
    }
    const std::string icon = FromRoot(IconFile(autorun_.ReadString(AutorunSection, "icon", "")));
    if (!icon.empty() && !FileExists(root_ + icon)) {
      Add("autorun-icon", "icon",
          "icon=" + Quoted(icon) + " names no file on the disc: Windows shows its plain CD icon");
    }
    CheckShortName("open", program);
    CheckShortName("icon", icon);
    return std::move(findings_);
  }

 private:
  void Add(const char* code, const char* key, const std::string& message) {
    const int line =
        std::max(layout_.KeyLine(AutorunSection, key), layout_.SectionLine(AutorunSection));
    findings_.push_back({code, AutorunFile, line, message});
  }

  void CheckShortName(const char* key, const std::string& name) {
    if (name.empty() || IsShortPath(name)) return;
    Add("name-not-8.3", key,
        std::string(key) + "= names " + Quoted(name) +
            ", which is no 8.3 name (up to eight letters, digits or _, a dot and three more): "
            "the disc's plain ISO 9660 names shorten it, so a Windows that reads only those "
            "finds nothing under it");
  }

  std::string root_;
  CatalogueReader autorun_;
  IniLayout layout_;
  Findings findings_;
};

}  // namespace

Findings CheckAutorun(const std::string& root) {
  const std::string path = root + AutorunFile;
  if (!FileExists(path)) {
    return {{"autorun-open", AutorunFile, 0, std::string("missing") + StartsNothing}};
  }
  return AutorunCheck(root, ReadWholeFile(path)).Run();
}

}  // namespace tarvo
