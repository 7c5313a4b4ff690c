// What each seam call promises for the cases the product relies on. Runs
// against the in-memory model and, cross-compiled, against Windows itself;
// where the two disagree, the model is wrong.
#include "contract/seam_contract.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "log/command_line.h"
#include "platform/ascii_case.h"
#include "platform/file_helpers.h"
#include "platform/path_names.h"
#include "platform/unique_handle.h"

namespace tarvo {
namespace {

TEST_F(SeamContract, FindExecutableGivesTheAssociatedProgram) {
  world->MakeFolder(folder + "\\Web Browser");
  const std::string program = folder + "\\Web Browser\\browser.exe";
  world->MakeProgram(program);
  world->Associate(".tca", "\"" + program + "\" \"%1\"");

  std::string result;
  EXPECT_GT(windows().FindExecutable(MakeDocument(".tca"), "C:\\", result), 32);
  EXPECT_EQ(result, program);
}

TEST_F(SeamContract, FindExecutableGivesAnAssociatedProgramThatIsGone) {
  const std::string program = folder + "\\deleted.exe";
  world->Associate(".tcb", "\"" + program + "\" \"%1\"");

  std::string result;
  EXPECT_GT(windows().FindExecutable(MakeDocument(".tcb"), "C:\\", result), 32);
  EXPECT_EQ(result, program);
}

TEST_F(SeamContract, FindExecutableFailsWithoutTouchingTheResult) {
  struct Case {
    const char* what;
    std::string document;
    std::intptr_t code;
  };
  const Case cases[] = {
      {"no association", MakeDocument(".tcz"), 31},
      {"missing document", folder + "\\absent.tca", 2},
      {"missing folder", folder + "\\absent\\page.tca", 2},
      // Long enough to overrun the shell's own buffers, where it has them.
      {"name longer than any ANSI path", folder + "\\" + std::string(2000, 'x') + ".tca", 2},
  };
  for (const Case& c : cases) {
    std::string result = Untouched;
    EXPECT_EQ(windows().FindExecutable(c.document, "C:\\", result), c.code) << c.what;
    EXPECT_EQ(result, Untouched) << c.what;
  }
}

TEST_F(SeamContract, FindFirstFileFindsFilesFoldersAndHiddenEntries) {
  world->MakeFile(folder + "\\plain.txt", "x", FileAttributeArchive);
  world->MakeFile(folder + "\\hidden.txt", "x", FileAttributeHidden | FileAttributeArchive);
  world->MakeFile(folder + "\\locked.txt", "x", FileAttributeReadOnly | FileAttributeArchive);
  world->MakeFolder(folder + "\\sub");
  struct Case {
    std::string path;
    std::optional<std::uint32_t> attributes;  // none: not found
    bool fileExists;
  };
  const Case cases[] = {
      {folder + "\\plain.txt", FileAttributeArchive, true},
      {folder + "\\PLAIN.TXT", FileAttributeArchive, true},
      {folder + "\\hidden.txt", FileAttributeHidden | FileAttributeArchive, true},
      {folder + "\\locked.txt", FileAttributeReadOnly | FileAttributeArchive, true},
      {folder + "\\sub", FileAttributeDirectory, false},
      {folder + "\\sub\\", std::nullopt, false},
      {folder + "\\absent.txt", std::nullopt, false},
      {folder + "\\absent\\plain.txt", std::nullopt, false},
  };
  for (const Case& c : cases) {
    FindData data;
    data.attributes = 0xDEAD;
    const UniqueSearch search(windows().FindFirstFile(c.path, data));
    EXPECT_EQ(static_cast<bool>(search), c.attributes.has_value()) << c.path;
    EXPECT_EQ(data.attributes, c.attributes.value_or(0xDEAD)) << c.path;
    EXPECT_EQ(FileExists(c.path), c.fileExists) << c.path;
  }
}

// Windows also refuses years after 2107, which Wine 8 wraps around; the
// product meets no such file time, so the contract leaves that bound out.
TEST_F(SeamContract, FileTimesFitDosDatesFrom1980) {
  struct Case {
    const char* when;
    std::uint64_t fileTime;
    std::optional<DosDateTime> dos;
  };
  const Case cases[] = {
      {"1979-12-31 23:59:59", 119600063990000000, std::nullopt},
      {"1980-01-01 00:00:00", 119600064000000000, DosDateTime{0x0021, 0x0000}},
      {"2000-02-29 13:45:31", 125963055310000000, DosDateTime{0x285D, 0x6DAF}},
      {"2107-12-31 23:59:59", 159992927990000000, DosDateTime{0xFF9F, 0xBF7D}},
  };
  for (const Case& c : cases) {
    DosDateTime dos{0x1234, 0x5678};
    EXPECT_EQ(windows().FileTimeToDosDateTime(c.fileTime, dos), c.dos.has_value()) << c.when;
    const DosDateTime expected = c.dos.value_or(DosDateTime{0x1234, 0x5678});
    EXPECT_EQ(dos.date, expected.date) << c.when;
    EXPECT_EQ(dos.time, expected.time) << c.when;
  }
}

TEST_F(SeamContract, CreateFileMakesOrReplacesAFileThatWritesReach) {
  const std::string fresh = folder + "\\fresh.log";
  const std::string replaced = folder + "\\replaced.log";
  world->MakeFile(replaced, "an older and longer content", FileAttributeArchive);
  const std::pair<std::string, FileCreation> creations[] = {
      {fresh, FileCreation::CreateAlways},
      {replaced, FileCreation::CreateAlways},
      {folder + "\\new.tmp", FileCreation::CreateNew},
  };
  for (const auto& [path, creation] : creations) {
    {
      const UniqueFile file(windows().CreateFile(path, creation));
      ASSERT_TRUE(file) << path;
      std::uint32_t written = 0;
      EXPECT_TRUE(windows().WriteFile(file.get(), "new\r\n", 5, written)) << path;
      EXPECT_EQ(written, 5u) << path;
    }
    EXPECT_EQ(world->ReadFile(path), "new\r\n") << path;
  }
}

// A hidden file is left out: Windows refuses to replace it, Wine 8 replaces
// it, and the product relies on neither.
TEST_F(SeamContract, CreateFileRefusesWhatCannotBeReplaced) {
  world->MakeFile(folder + "\\locked.log", "old", FileAttributeReadOnly | FileAttributeArchive);
  world->MakeFile(folder + "\\taken.tmp", "old", FileAttributeArchive);
  world->MakeFolder(folder + "\\sub");
  const std::string deep = folder + "\\" + std::string(150, 'd');
  world->MakeFolder(deep);
  struct Case {
    std::string path;
    std::optional<std::string> contentAfter;
    FileCreation creation = FileCreation::CreateAlways;
  };
  const Case cases[] = {
      {folder + "\\locked.log", "old"},
      {folder + "\\sub", std::nullopt},
      {folder + "\\absent\\new.log", std::nullopt},
      {folder + "\\taken.tmp", "old", FileCreation::CreateNew},
      {deep + "\\" + std::string(60, 'f'), std::nullopt},  // past MAX_PATH
  };
  for (const Case& c : cases) {
    const UniqueFile file(windows().CreateFile(c.path, c.creation));
    EXPECT_FALSE(file) << c.path;
    EXPECT_EQ(world->ReadFile(c.path), c.contentAfter) << c.path;
  }
}

TEST_F(SeamContract, FilesOpenedForReadingGiveTheirWholeContentAndShareOnlyReading) {
  const std::string text = folder + "\\template.htm";
  const std::string content = std::string("regel\r\n\0na NUL\xE9", 16);
  world->MakeFile(text, content, FileAttributeReadOnly | FileAttributeArchive);
  {
    const UniqueFile reading(windows().CreateFile(text, FileCreation::OpenExistingRead));
    ASSERT_TRUE(reading);
    std::uint64_t size = 0;
    EXPECT_TRUE(windows().GetFileSize(reading.get(), size));
    EXPECT_EQ(size, content.size());
    const UniqueFile second(windows().CreateFile(text, FileCreation::OpenExistingRead));
    EXPECT_TRUE(second) << "others may read meanwhile";
    char buffer[64] = {};
    std::uint32_t read = 0;
    EXPECT_TRUE(windows().ReadFile(reading.get(), buffer, 10, read));
    EXPECT_EQ(std::string(buffer, read), content.substr(0, 10));
    EXPECT_TRUE(windows().ReadFile(reading.get(), buffer, sizeof buffer, read));
    EXPECT_EQ(std::string(buffer, read), content.substr(10));
    EXPECT_TRUE(windows().ReadFile(reading.get(), buffer, sizeof buffer, read));
    EXPECT_EQ(read, 0u) << "at the end";
  }
  EXPECT_EQ(ReadWholeFile(text), content);

  const std::string page = folder + "\\page.htm";
  world->MakeFile(page, "oud", FileAttributeArchive);
  {
    const UniqueFile reading(windows().CreateFile(page, FileCreation::OpenExistingRead));
    ASSERT_TRUE(reading);
    EXPECT_FALSE(UniqueFile(windows().CreateFile(page, FileCreation::CreateAlways)))
        << "no writer while it is read";
  }
  EXPECT_EQ(world->ReadFile(page), "oud");

  world->MakeFolder(folder + "\\sub");
  for (const std::string& absent : {folder + "\\absent.htm", folder + "\\sub"}) {
    EXPECT_FALSE(UniqueFile(windows().CreateFile(absent, FileCreation::OpenExistingRead)))
        << absent;
  }
}

TEST_F(SeamContract, TheProgramKnowsItsOwnPathAndCommandLine) {
  const std::string module = windows().GetModuleFileName();
  ASSERT_GT(module.size(), 3u);
  EXPECT_EQ(module.substr(1, 2), ":\\");
  EXPECT_EQ(AsciiUpperCase(module.substr(module.size() - 4)), ".EXE");

  const auto words = SplitCommandLine(windows().GetCommandLine());
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(AsciiUpperCase(ExtractFileName(words.front())),
            AsciiUpperCase(ExtractFileName(module)));
}

TEST_F(SeamContract, CreateProcessStartsAnExistingProgramOnly) {
  world->MakeFolder(folder + "\\Some Program");
  const std::string program = folder + "\\Some Program\\quick.exe";
  world->MakeProgram(program);
  const StartupInfo startup{StartfUseShowWindow, SwShowNormal};

  EXPECT_TRUE(windows().CreateProcess("\"" + program + "\"", NormalPriorityClass, startup));
  world->MakeProgram(folder + "\\plain.exe");
  EXPECT_TRUE(windows().CreateProcess(folder + "\\plain.exe", NormalPriorityClass, startup));
  // A leading blank leaves the program unnamed.
  EXPECT_FALSE(windows().CreateProcess(" " + folder + "\\plain.exe", NormalPriorityClass, startup));
  EXPECT_FALSE(windows().CreateProcess("\"" + folder + "\\absent.exe\" x.htm", NormalPriorityClass,
                                       startup));
}

// --- browser detection ---

// Wine 8 (this contract's Windows) also finds "[ Informatie ]" under
// "Informatie"; what Windows does there is left out, as the catalogue
// writes its section names plainly.
TEST_F(SeamContract, ProfileStringsFollowWindowsRules) {
  const std::string ini = folder + "\\catalogue.ini";
  world->MakeFile(ini,
                  "  [Informatie]  \r\n"
                  "  Versie  =   3   \r\n"
                  "Quoted=\"  spaced  \"\r\n"
                  "Single='x'\r\n"
                  "Half=\"open\r\n"
                  "Mixed=\"a'\r\n"
                  "Empty=\r\n"
                  "NoEquals\r\n"
                  "Dup=first\r\n"
                  "dup=second\r\n"
                  "Tab=\tvalue\twith\ttabs\t\r\n"
                  "Long=0123456789\r\n"
                  "[Twice]\r\n"
                  "A=1\r\n"
                  "[Other]\r\n"
                  "[twice]\r\n"
                  "A=2\r\n"
                  "B=only in the second\r\n"
                  "[x]y]\r\n"
                  "Z=z\n",
                  FileAttributeArchive);
  struct Case {
    std::string file;
    const char* section;
    const char* key;
    const char* defaultValue;
    std::uint32_t size;
    const char* value;
  };
  const std::string absent = folder + "\\absent.ini";
  const Case cases[] = {
      {ini, "Informatie", "Versie", "0", 2048, "3"},
      {ini, "informatie", "VERSIE", "0", 2048, "3"},
      {ini, " Informatie ", " Versie ", "0", 2048, "3"},
      {ini, "Informatie", "Quoted", "", 2048, "  spaced  "},
      {ini, "Informatie", "Single", "", 2048, "x"},
      {ini, "Informatie", "Half", "", 2048, "\"open"},
      {ini, "Informatie", "Mixed", "", 2048, "\"a'"},
      {ini, "Informatie", "Empty", "default", 2048, ""},
      {ini, "Informatie", "NoEquals", "default", 2048, "default"},
      {ini, "Informatie", "Dup", "", 2048, "first"},
      {ini, "Informatie", "Tab", "", 2048, "value\twith\ttabs"},
      {ini, "Informatie", "Long", "", 5, "0123"},
      {ini, "Informatie", "Missing", "default   ", 2048, "default"},
      {ini, "Informatie", "Missing", "  \"quoted\"", 2048, "  \"quoted\""},
      {ini, "Informatie", "Missing", "\"quoted\"", 2048, "quoted"},
      {ini, "Twice", "A", "default", 2048, "1"},
      {ini, "Twice", "B", "default", 2048, "default"},
      {ini, "x]y", "Z", "default", 2048, "z"},
      {ini, "x", "Z", "default", 2048, "default"},
      {ini, "Absent", "Versie", "0", 2048, "0"},
      {absent, "Informatie", "Versie", "7 ", 2048, "7"},
      {folder + "\\absent\\catalogue.ini", "Informatie", "Versie", "0", 2048, "0"},
  };
  for (const Case& c : cases) {
    std::string value = Untouched;
    const std::uint32_t length =
        windows().GetPrivateProfileString(c.section, c.key, c.defaultValue, value, c.size, c.file);
    EXPECT_EQ(value, c.value) << c.section << "/" << c.key;
    EXPECT_EQ(length, value.size()) << c.section << "/" << c.key;
  }
}

TEST_F(SeamContract, TheWindowsDirectoryHoldsProfilesNamedWithoutAFolder) {
  std::string directory = Untouched;
  const std::uint32_t length = windows().GetWindowsDirectory(directory, 260);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(length, directory.size());
  EXPECT_EQ(directory.substr(1, 2), ":\\");
  EXPECT_NE(directory.back(), '\\');

  std::string tooSmall = Untouched;
  EXPECT_EQ(windows().GetWindowsDirectory(tooSmall, length), length + 1);
  EXPECT_EQ(tooSmall, Untouched);

  world->MakeFile(directory + "\\tarvo-contract.ini", "[S]\r\nK=in the Windows directory\r\n",
                  FileAttributeArchive);
  std::string value;
  windows().GetPrivateProfileString("S", "K", "", value, 2048, "tarvo-contract.ini");
  EXPECT_EQ(value, "in the Windows directory");
}

// What the version library gives for a value: found or not, and its bytes
// (through the reported length, which must stay within the block).
std::optional<std::string> QueryVersionValue(Win32Api& windows, std::vector<std::uint8_t>& block,
                                             const std::string& subBlock) {
  VersionValue value{12345, 678};
  if (!windows.VerQueryValue(block, subBlock, value)) {
    EXPECT_EQ(value.offset, 12345u) << subBlock;
    EXPECT_EQ(value.length, 678u) << subBlock;
    return std::nullopt;
  }
  EXPECT_LE(value.offset + value.length, block.size()) << subBlock;
  if (value.offset + value.length > block.size()) return std::nullopt;
  return std::string(block.begin() + static_cast<std::ptrdiff_t>(value.offset),
                     block.begin() + static_cast<std::ptrdiff_t>(value.offset + value.length));
}

TEST_F(SeamContract, VersionInformationGivesTranslationsAndStringsOfEachLanguage) {
  const std::string dutch = folder + "\\dutch.exe";
  world->MakeVersionedProgram(dutch,
                              SingleLanguageVersion(0x0413, 0x04E4, {{"FileVersion", "1.52.0.0"}}));
  const std::string twoLanguages = folder + "\\two.exe";
  world->MakeVersionedProgram(twoLanguages,
                              {{0x04E40413, 0x04B00409},
                               {{"041304E4", {{"FileVersion", "nl 1.0"}}},
                                {"040904B0", {{"FileVersion", "en 1.0"}, {"Extra", "en only"}}}}});
  struct Case {
    std::string program;
    const char* subBlock;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {dutch, "\\VarFileInfo\\Translation", std::string("\x13\x04\xE4\x04", 4)},
      {dutch, "\\StringFileInfo\\041304E4\\FileVersion", std::string("1.52.0.0\0", 9)},
      {dutch, "\\stringfileinfo\\041304e4\\fileversion", std::string("1.52.0.0\0", 9)},
      {dutch, "\\StringFileInfo\\041304E4\\ProductVersion", std::nullopt},
      {dutch, "\\StringFileInfo\\040904B0\\FileVersion", std::nullopt},
      {twoLanguages, "\\VarFileInfo\\Translation",
       std::string("\x13\x04\xE4\x04\x09\x04\xB0\x04", 8)},
      {twoLanguages, "\\StringFileInfo\\041304E4\\FileVersion", std::string("nl 1.0\0", 7)},
      {twoLanguages, "\\StringFileInfo\\040904B0\\FileVersion", std::string("en 1.0\0", 7)},
      {twoLanguages, "\\StringFileInfo\\041304E4\\Extra", std::nullopt},
      {twoLanguages, "\\StringFileInfo\\040904B0\\Extra", std::string("en only\0", 8)},
  };
  for (const Case& c : cases) {
    std::uint32_t handle = 99;
    const std::uint32_t size = windows().GetFileVersionInfoSize(c.program, handle);
    ASSERT_GT(size, 0u) << c.program;
    std::vector<std::uint8_t> block;
    ASSERT_TRUE(windows().GetFileVersionInfo(c.program, handle, size, block)) << c.program;
    EXPECT_EQ(block.size(), size);
    EXPECT_EQ(QueryVersionValue(windows(), block, c.subBlock), c.value) << c.subBlock;
  }
}

TEST_F(SeamContract, VersionInformationIsMissingWithoutAResource) {
  world->MakeFile(folder + "\\plain.exe", "not a program", FileAttributeArchive);
  for (const std::string& file : {folder + "\\plain.exe", folder + "\\absent.exe", std::string()}) {
    std::uint32_t handle = 0;
    EXPECT_EQ(windows().GetFileVersionInfoSize(file, handle), 0u) << file;
  }
}

TEST_F(SeamContract, TheScreenTellsItsWorkAreaAndWindowMetrics) {
  Rect area;
  ASSERT_TRUE(windows().SystemParametersInfo(SpiGetWorkArea, 0, area, 0));
  EXPECT_GT(area.right - area.left, 0);
  EXPECT_GT(area.bottom - area.top, 0);

  for (const std::uint32_t size : {340u, 344u}) {
    NonClientMetrics metrics;
    metrics.size = size;
    ASSERT_TRUE(windows().SystemParametersInfo(SpiGetNonClientMetrics, 0, metrics, 0)) << size;
    EXPECT_GE(metrics.borderWidth, 0) << size;
    EXPECT_GT(metrics.captionHeight, 0) << size;
  }
  NonClientMetrics unknownSize;
  unknownSize.size = 100;
  unknownSize.captionHeight = -5;
  EXPECT_FALSE(windows().SystemParametersInfo(SpiGetNonClientMetrics, 0, unknownSize, 0));
  EXPECT_EQ(unknownSize.captionHeight, -5);
}

TEST_F(SeamContract, VolumeInformationNeedsAnExistingDriveRoot) {
  VolumeInformation volume;
  volume.volumeName = Untouched;
  ASSERT_TRUE(windows().GetVolumeInformation("C:\\", 100, 100, volume));
  EXPECT_EQ(volume.volumeName.find('\0'), std::string::npos);
  EXPECT_LT(volume.volumeName.size(), 100u);
  EXPECT_FALSE(volume.fileSystemName.empty());

  for (const std::string& root :
       {std::string("Q:\\"), std::string("\\\\server\\share\\"), folder + "\\"}) {
    VolumeInformation untouched;
    untouched.volumeName = Untouched;
    EXPECT_FALSE(windows().GetVolumeInformation(root, 100, 100, untouched)) << root;
    EXPECT_EQ(untouched.volumeName, Untouched) << root;
  }
}

// Windows keeps "i" and "I" apart in a Turkish user locale; Wine 8 does
// not, so only the invariant locale, which the product uses, is stated.
TEST_F(SeamContract, CompareStringIgnoresCaseInTheInvariantLocale) {
  struct Case {
    std::uint32_t locale;
    const char* first;
    const char* second;
    int result;
  };
  const Case cases[] = {
      {LocaleInvariant, "iexplore.exe", "IEXPLORE.EXE", CstrEqual},
      {LocaleInvariant,
       "\xE9"
       "dit.exe",
       "\xC9"
       "DIT.EXE",
       CstrEqual},
      {LocaleInvariant, "A.EXE", "b.exe", CstrLessThan},
      {LocaleInvariant, "b.exe", "A.EXE", CstrGreaterThan},
      {LocaleInvariant, "NETSCAPE.EXE", "NETSCAPE.EXE.EXE", CstrLessThan},
      {LocaleInvariant, "A1.EXE", "AB.EXE", CstrLessThan},
      {LocaleUserDefault, "Opera.exe", "OPERA.EXE", CstrEqual},
      {0x12345, "a", "A", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(windows().CompareString(c.locale, NormIgnoreCase, c.first, c.second), c.result)
        << c.first << " " << c.second;
  }
}

using Listing = std::map<std::string, std::uint32_t>;  // name -> attributes

// Every entry FindFirstFile and FindNextFile give for a pattern.
std::optional<Listing> ListEntries(Win32Api& windows, const std::string& pattern) {
  FindData entry;
  const UniqueSearch search(windows.FindFirstFile(pattern, entry));
  if (!search) return std::nullopt;
  Listing listing;
  do {
    EXPECT_TRUE(listing.insert({entry.name, entry.attributes}).second) << entry.name;
  } while (windows.FindNextFile(search.get(), entry));
  FindData untouched;
  untouched.name = Untouched;
  EXPECT_FALSE(windows.FindNextFile(search.get(), untouched)) << "after the last entry";
  EXPECT_EQ(untouched.name, Untouched);
  return listing;
}

// The order of entries is the file system's own and is left out.
TEST_F(SeamContract, FindNextFileListsAFolderWithHiddenReadOnlyAndLinkEntries) {
  world->MakeFile(folder + "\\Plain.TXT", "x", FileAttributeArchive);
  world->MakeFile(folder + "\\hidden.txt", "x", FileAttributeHidden | FileAttributeArchive);
  world->MakeFile(folder + "\\locked.txt", "x", FileAttributeReadOnly | FileAttributeArchive);
  world->MakeFolder(folder + "\\Sub");
  world->MakeDirectoryLink(folder + "\\up", folder);
  constexpr std::uint32_t directoryLink = FileAttributeDirectory | FileAttributeReparsePoint;

  EXPECT_EQ(ListEntries(windows(), folder + "\\*.*"),
            (Listing{{".", FileAttributeDirectory},
                     {"..", FileAttributeDirectory},
                     {"Plain.TXT", FileAttributeArchive},
                     {"hidden.txt", FileAttributeHidden | FileAttributeArchive},
                     {"locked.txt", FileAttributeReadOnly | FileAttributeArchive},
                     {"Sub", FileAttributeDirectory},
                     {"up", directoryLink}}));
  EXPECT_EQ(ListEntries(windows(), folder + "\\Sub\\*.*"),
            (Listing{{".", FileAttributeDirectory}, {"..", FileAttributeDirectory}}));
  // A walk that followed the link would meet the folder again, endlessly.
  const auto throughLink = ListEntries(windows(), folder + "\\up\\up\\*.*");
  ASSERT_TRUE(throughLink);
  EXPECT_EQ(throughLink->count("Plain.TXT"), 1u);
  EXPECT_EQ(throughLink->count("up"), 1u);
  EXPECT_EQ(ListEntries(windows(), folder + "\\PLAIN.txt"),
            (Listing{{"Plain.TXT", FileAttributeArchive}}));
  EXPECT_EQ(ListEntries(windows(), folder + "\\absent\\*.*"), std::nullopt);
  EXPECT_EQ(ListEntries(windows(), folder + "\\Plain.TXT\\*.*"), std::nullopt);
}

// Windows refuses to replace a read-only file; Wine 8 replaces it, so the
// product checks for one itself and the contract leaves it out.
TEST_F(SeamContract, MoveFileExReplacesAClosedFileOnlyWhenAsked) {
  constexpr std::uint32_t replace = MoveFileReplaceExisting | MoveFileWriteThrough;
  struct Case {
    const char* what;
    std::string source;
    std::string target;
    std::uint32_t flags;
    bool moved;
  };
  const std::string source = folder + "\\new.ini";
  const std::string target = folder + "\\BROWSERS.INI";
  world->MakeFolder(folder + "\\Sub");
  const Case cases[] = {
      {"existing target without the flag", source, target, MoveFileWriteThrough, false},
      {"missing source", folder + "\\absent.ini", target, replace, false},
      {"folder as target", source, folder + "\\Sub", replace, false},
      {"target in a missing folder", source, folder + "\\absent\\BROWSERS.INI", replace, false},
      {"existing target", source, target, replace, true},
  };
  for (const Case& c : cases) {
    world->MakeFile(source, "new", FileAttributeArchive);
    world->MakeFile(target, "old", FileAttributeArchive);
    EXPECT_EQ(windows().MoveFileEx(c.source, c.target, c.flags), c.moved) << c.what;
    EXPECT_EQ(world->ReadFile(target), c.moved ? "new" : "old") << c.what;
    EXPECT_EQ(world->ReadFile(source), c.moved ? std::nullopt : std::optional<std::string>("new"))
        << c.what;
  }
  world->MakeFile(source, "new", FileAttributeArchive);
  {
    const UniqueFile open(windows().CreateFile(target, FileCreation::OpenExistingRead));
    ASSERT_TRUE(open);
    EXPECT_FALSE(windows().MoveFileEx(source, target, replace)) << "target open";
  }
  EXPECT_EQ(world->ReadFile(target), "new");
}

TEST_F(SeamContract, DeleteFileRemovesAClosedWritableFileOnly) {
  world->MakeFile(folder + "\\plain.tmp", "x", FileAttributeArchive);
  world->MakeFile(folder + "\\locked.tmp", "x", FileAttributeReadOnly | FileAttributeArchive);
  world->MakeFile(folder + "\\open.tmp", "x", FileAttributeArchive);
  world->MakeFolder(folder + "\\Sub");
  const UniqueFile open(
      windows().CreateFile(folder + "\\open.tmp", FileCreation::OpenExistingRead));
  ASSERT_TRUE(open);
  struct Case {
    std::string path;
    bool deleted;
  };
  const Case cases[] = {
      {folder + "\\plain.tmp", true},   {folder + "\\locked.tmp", false},
      {folder + "\\open.tmp", false},   {folder + "\\Sub", false},
      {folder + "\\absent.tmp", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(windows().DeleteFile(c.path), c.deleted) << c.path;
  }
  EXPECT_EQ(world->ReadFile(folder + "\\plain.tmp"), std::nullopt);
  EXPECT_EQ(world->ReadFile(folder + "\\locked.tmp"), "x");
}

}  // namespace
}  // namespace tarvo
