#include "app/start_page.h"

#include <vector>

#include "app/browser_path.h"
#include "app/file_error_diagnosis.h"
#include "app/interface_settings.h"
#include "app/main_sequence.h"
#include "log/log_file.h"
#include "platform/ascii_case.h"
#include "platform/disc_files.h"
#include "platform/file_helpers.h"
#include "platform/int32_arithmetic.h"
#include "platform/message_box.h"
#include "platform/text_lines.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

const char* const FallbackTempDir = "C:\\";

// What the placeholders of one page stand for.
struct PageValues {
  std::int32_t x;
  std::int32_t y;
  std::string mainPageAddress;
};

struct MusicSetting {
  const char* placeholder;
  const char* name;
};

const MusicSetting MusicSettings[] = {
    {PlaceholderMusic, "MuziekAan"},
    {PlaceholderTrack, "MuziekNummer"},
    {PlaceholderVolume, "MuziekVolume"},
};

// Where the page goes: the system's temporary directory in upper case with a
// final "\", or C:\ when there is none that fits the buffer, or when it is
// the start directory itself.
std::string TemporaryDirectory(const std::string& startDir) {
  std::string path;
  const std::uint32_t length = Api().GetTempPath(path);
  if (length == 0) LogLine("402: (opvragen tijdelijke directory mislukt)");
  std::string tempDir =
      length == 0 || length > TempPathBufferSize ? FallbackTempDir : AsciiUpperCase(path);
  if (tempDir.empty() || tempDir.back() != '\\') tempDir += '\\';
  LogLine("403: TempDir = " + tempDir);
  if (tempDir != startDir) return tempDir;
  LogLine("Melding: (tempdir bestaat niet)");
  ShowMessage(
      "Geen TEMP directory gevonden, we zullen dus C:\\ moeten gebruiken. Lees de help hoe u "
      "deze melding kunt voorkomen...");
  return FallbackTempDir;
}

// Half the room the window leaves, rounded toward zero. The difference wraps
// in 32 bits as the sizes themselves do, so no size can overflow it.
std::int32_t CentredPosition(std::int32_t area, std::int32_t window) {
  return WrappingSubtract(area, window) / 2;
}

// Navigator gets the framed main page.
std::string MainPage(const std::string& startDir) {
  const bool navigator = BrowserCode.compare(0, 2, "NN") == 0;
  return AsciiLowerCase(startDir) + (navigator ? FramePageFile : MainPageFile);
}

std::string StatusText() {
  SystemTime now;
  Api().GetLocalTime(now);
  return "© Lumora " + std::to_string(now.year);
}

std::string Replacement(const std::string& marker, const PageValues& values) {
  if (marker == PlaceholderX) return std::to_string(values.x);
  if (marker == PlaceholderY) return std::to_string(values.y);
  if (marker == PlaceholderMainPage) return values.mainPageAddress;
  if (marker == PlaceholderStatus) return StatusText();
  for (const MusicSetting& setting : MusicSettings) {
    if (marker != setting.placeholder) continue;
    std::string value = marker;
    ReadInterfaceSetting(setting.name, value);
    return value;
  }
  return marker;
}

// The line with its first comment filled in when that comment is a
// placeholder. A music placeholder reads its setting now.
std::string FilledLine(const std::string& line, const PageValues& values) {
  const auto comment = FirstComment(line);
  if (!comment) return line;
  return line.substr(0, comment->begin) + Replacement(comment->text, values) +
         line.substr(comment->begin + comment->text.size());
}

}  // namespace

std::optional<LineComment> FirstComment(const std::string& line) {
  const auto open = line.find("<!--");
  if (open == std::string::npos) return std::nullopt;
  const auto close = line.find("-->");
  if (close == std::string::npos || close < open) return std::nullopt;
  const auto end = close + 3;
  return LineComment{open, line.substr(open, end - open)};
}

bool IsPlaceholder(const std::string& comment) {
  for (const char* placeholder : Placeholders) {
    if (comment == placeholder) return true;
  }
  return false;
}

void CreateStartPage(std::string& document, std::int32_t desktopHeight, std::int32_t desktopWidth,
                     std::int32_t browserHeight, std::int32_t browserWidth) {
  const std::string startDir = document;
  const std::string tempDir = TemporaryDirectory(startDir);
  try {
    std::vector<std::string> lines = TextLines(ReadWholeFile(startDir + TemplateFile));
    document = MainPage(startDir);
    ConvertToBrowserDir(document);
    LogLine("404: (ConvertToBrowserDir = " + document + ")");
    const PageValues values{CentredPosition(desktopWidth, browserWidth),
                            CentredPosition(desktopHeight, browserHeight), document};
    for (std::string& line : lines) line = FilledLine(line, values);
    document = tempDir + "lmrstart.htm";
    LogLine("405: FileName = " + document);
    WriteWholeFile(document, CrLfText(lines));
    LogLine("406: (vervangen en aanmaken startpagina gelukt)");
  } catch (const EStreamError& e) {
    ExceptionLog(e, document);
  } catch (const std::exception& e) {
    LogException(e, true);
  }
}

}  // namespace tarvo
