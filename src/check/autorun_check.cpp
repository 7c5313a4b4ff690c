#include "check/autorun_check.h"

#include <algorithm>
#include <optional>

#include "check/ini_layout.h"
#include "platform/ascii_case.h"
#include "platform/catalogue_reader.h"
#include "platform/disc_files.h"
#include "platform/file_helpers.h"
#include "platform/path_names.h"
#include "platform/utf8_text.h"

namespace tarvo {

namespace {

const char* const AutorunSection = "autorun";
const char* const StartsNothing = ": Windows starts nothing when the reader puts the disc in";
const char* const SaveAsAnsi = "save autorun.inf as Windows-1252 (ANSI) text";

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

std::string WithoutBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Autorun takes names from the disc's root: "\tarvo32.exe" and
// ".\tarvo32.exe" are "tarvo32.exe".
std::string FromRoot(std::string name) {
  while (StartsWith(name, "\\") || StartsWith(name, ".\\")) name.erase(0, name[0] == '.' ? 2 : 1);
  return name;
}

// The file a command line starts, as CreateProcess finds it: its quoted
// first part, or everything up to the first blank or tab; a name without an
// extension gets ".exe".
std::string CommandProgram(const std::string& command) {
  std::string program = !command.empty() && command[0] == '"'
                            ? command.substr(1, command.find('"', 1) - 1)
                            : command.substr(0, command.find_first_of(" \t"));
  program = FromRoot(program);
  if (!program.empty() && ExtractFileName(program).find('.') == std::string::npos) {
    program += ".exe";
  }
  return program;
}

bool IsLauncher(const std::string& program) { return AsciiLowerCase(program) == DiscLauncherFile; }

// The file of an "icon=file[,index]" value: blanks may stand around either
// part, quotes around the file.
std::string IconFile(const std::string& value) {
  const auto comma = value.rfind(',');
  const bool indexed =
      comma != std::string::npos && ParseCatalogueInteger(WithoutBlanks(value.substr(comma + 1)));
  std::string file = WithoutBlanks(indexed ? value.substr(0, comma) : value);
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
    file = file.substr(1, file.size() - 2);
  }
  return FromRoot(file);
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

// The finding on an autorun.inf that Windows does not read as the profile
// lookup under Wine does, after which nothing in it can be judged for every
// Windows; none for one it reads.
std::optional<Finding> UnreadEncoding(const std::string& text) {
  if (StartsWith(text, "\xFF\xFE") || StartsWith(text, "\xFE\xFF")) {
    return Finding{"autorun-utf16", AutorunFile, 0,
                   "UTF-16 text (it begins with a byte-order mark): Windows NT, 2000 and later "
                   "read it, but Windows 95, 98 and ME find no [autorun] in it and start "
                   "nothing; " +
                       std::string(SaveAsAnsi) + ", and the checker reads the rest"};
  }
  if (!StartsWith(text, Utf8ByteOrderMark)) return std::nullopt;
  const IniLayout layout(text.substr(3));
  const auto& sections = layout.Sections();
  if (sections.empty() || sections[0].line != 1 ||
      !IniLayout::SameName(sections[0].name, AutorunSection)) {
    return std::nullopt;
  }
  return Finding{"autorun-bom", AutorunFile, 1,
                 "a UTF-8 byte-order mark stands before the [autorun] of line 1: Windows 95 to "
                 "11 read the mark as part of that line, find no [autorun] and start nothing "
                 "(Wine drops the mark, so the disc does start under Wine); " +
                     std::string(SaveAsAnsi)};
}

class AutorunCheck {
 public:
  AutorunCheck(const std::string& root, const std::string& text)
      : root_(root), text_(text), autorun_(root + AutorunFile), layout_(text) {}

  Findings Run() {
    CheckSections();
    CheckUtf8();
    const std::string command = Value("open");
    const std::string shellCommand = Value("shellexecute");
    CheckStart(command, shellCommand);
    CheckAutoPlay();
    const std::string program = CommandProgram(command);
    const std::string icon = CheckIcon(program);
    CheckShortName("open", program);
    CheckShortName("icon", icon);
    return std::move(findings_);
  }

 private:
  std::string Value(const char* key) const { return autorun_.ReadString(AutorunSection, key, ""); }

  void Add(const char* code, const char* key, const std::string& message) {
    const int line =
        std::max(layout_.KeyLine(AutorunSection, key), layout_.SectionLine(AutorunSection));
    findings_.push_back({code, AutorunFile, line, message});
  }

  void CheckSections() {
    for (const IniLayout::Section& section : layout_.Sections()) {
      if (!StartsWith(AsciiLowerCase(section.name), std::string(AutorunSection) + ".")) continue;
      findings_.push_back(
          {"autorun-architecture", AutorunFile, section.line,
           "[" + section.name +
               "] is a section for one kind of processor: Windows 95 to 11 read the section "
               "of their own processor instead of [autorun] (as Microsoft documents "
               "autorun.inf), so on such a PC it alone decides what starts; leave it out"});
    }
  }

  // Text saved as UTF-8 reads back, one byte a character, as other text;
  // comments, which Windows skips, may hold what they like.
  void CheckUtf8() {
    const std::string body = StartsWith(text_, Utf8ByteOrderMark) ? text_.substr(3) : text_;
    if (!IsUtf8BeyondAscii(body)) return;
    int number = 0;
    for (std::string::size_type start = 0; start < body.size();) {
      const auto end = std::min(body.find('\n', start), body.size());
      std::string line = body.substr(start, end - start);
      start = end + 1;
      ++number;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const bool ascii = std::all_of(line.begin(), line.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
      if (ascii || StartsWith(WithoutBlanks(line), ";")) continue;
      findings_.push_back({"autorun-utf8", AutorunFile, number,
                           "UTF-8 text, which Windows 95 to 11 read as Windows-1252 (ANSI), so "
                           "they read this line as " +
                               Quoted(line) + "; " + SaveAsAnsi});
      return;
    }
  }

  void CheckStart(const std::string& command, const std::string& shellCommand) {
    const std::string shellFile = CommandProgram(shellCommand);
    const std::string shellStarts =
        IsLauncher(shellFile) ? "" : "; Windows 2000, ME and later start " + Quoted(shellFile);
    if (command.empty() && shellCommand.empty()) {
      Add("autorun-open", "open", std::string("[autorun] has no open=") + StartsNothing);
    } else if (command.empty()) {
      Add("autorun-open", "shellexecute",
          "[autorun] has shellexecute= but no open=: Windows 95, 98 and NT 4.0 read only open= "
          "and start nothing when the reader puts the disc in" +
              shellStarts);
    } else if (!IsLauncher(CommandProgram(command))) {
      Add("autorun-open", "open",
          "open=" + Quoted(command) + " does not start " + DiscLauncherFile +
              " from the disc's root: Windows starts that instead of the launcher");
    }
    if (!command.empty() && !shellCommand.empty() && !IsLauncher(shellFile)) {
      Add("autorun-open", "shellexecute",
          "shellexecute=" + Quoted(shellCommand) + " names " + Quoted(shellFile) +
              ", not the launcher: Windows 2000, ME and later read shellexecute= besides open=, "
              "so they can start that instead");
    }
  }

  void CheckAutoPlay() {
    const std::string value = Value("UseAutoPlay");
    const auto number = ParseCatalogueInteger(value);
    if (!number || *number == 0) return;
    Add("autorun-autoplay", "UseAutoPlay",
        "UseAutoPlay=" + value +
            ": Windows XP then ignores open= and shows its AutoPlay choices instead, and Windows "
            "Vista to 11 leave the launcher out of the AutoPlay dialog (Windows 95 to 2000 and "
            "ME ignore the key)");
  }

  // Checks the icon, and that it stands beside `program`, which open=
  // starts; the icon's file when it names one.
  std::string CheckIcon(const std::string& program) {
    const std::string icon = IconFile(Value("icon"));
    if (icon.find_first_of("*?") != std::string::npos) {
      Add("autorun-icon", "icon",
          "icon=" + Quoted(icon) +
              " holds a wildcard, which names no file: Windows 95 to 11 show their plain CD icon");
      return "";
    }
    if (!icon.empty() && !FileExists(root_ + icon)) {
      Add("autorun-icon", "icon",
          "icon=" + Quoted(icon) + " names no file on the disc: Windows shows its plain CD icon");
    }
    if (!icon.empty() && !program.empty() &&
        AsciiLowerCase(ExtractFilePath(icon)) != AsciiLowerCase(ExtractFilePath(program))) {
      Add("autorun-icon-folder", "icon",
          "icon=" + Quoted(icon) + " stands in another folder than " + Quoted(program) +
              ", which open= starts: Microsoft's documentation of autorun.inf (Windows 95 to "
              "11) wants the icon in that file's folder, and a Windows that holds to it shows "
              "its plain CD icon");
    }
    return icon;
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
  std::string text_;
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
  const std::string text = ReadWholeFile(path);
  if (const auto unread = UnreadEncoding(text)) return {*unread};
  return AutorunCheck(root, text).Run();
}

}  // namespace tarvo
