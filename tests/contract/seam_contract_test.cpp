// What each seam call promises for the cases the product relies on. Runs
// against the in-memory model and, cross-compiled, against Windows itself;
// where the two disagree, the model is wrong.
#include "contract/seam_contract.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

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
  for (const std::string& path : {fresh, replaced}) {
    {
      const UniqueFile file(windows().CreateFile(path, FileCreation::CreateAlways));
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
  world->MakeFolder(folder + "\\sub");
  struct Case {
    std::string path;
    std::optional<std::string> contentAfter;
  };
  const Case cases[] = {
      {folder + "\\locked.log", "old"},
      {folder + "\\sub", std::nullopt},
      {folder + "\\absent\\new.log", std::nullopt},
  };
  for (const Case& c : cases) {
    const UniqueFile file(windows().CreateFile(c.path, FileCreation::CreateAlways));
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

}  // namespace
}  // namespace tarvo
