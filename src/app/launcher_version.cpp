#include "app/launcher_version.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "browser/version_info.h"
#include "log/debuggen.h"
#include "log/log_file.h"
#include "platform/disc_files.h"
#include "platform/message_box.h"
#include "platform/run_control.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::uint32_t VolumeBufferSize = 100;

int Sign(int value) { return (value > 0) - (value < 0); }

std::string WithoutOuterBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The fields of a version written as digits separated by ".", each without
// its leading zeros; none for any other text.
std::optional<std::vector<std::string>> NumericFields(const std::string& version) {
  const std::string text = WithoutOuterBlanks(version);
  std::vector<std::string> fields;
  for (std::string::size_type start = 0;;) {
    const auto end = text.find('.', start);
    std::string field = text.substr(start, end == std::string::npos ? end : end - start);
    if (field.empty() || field.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    field.erase(0, field.find_first_not_of('0'));
    fields.push_back(field);
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

// Digit strings without leading zeros: the longer is the larger number.
int CompareNumbers(const std::string& first, const std::string& second) {
  if (first.size() != second.size()) return first.size() < second.size() ? -1 : 1;
  return Sign(first.compare(second));
}

}  // namespace

void CheckLauncherVersion() {
  const std::string ownVersion = LauncherVersion(Api().GetModuleFileName());
  LogLine("102: VersieIntern = " + ownVersion);
  const std::string cdVersion = LauncherVersion(StartDir + DiscLauncherFile);
  LogLine("103: VersieCD = " + cdVersion);
  if (CompareLauncherVersions(cdVersion, ownVersion) <= 0) return;
  LogLine("Melding: (oude versie van TARVO32.EXE)");
  ShowMessage(
      "U gebruikt een oude versie van TARVO32.EXE om de cd-rom op te starten. Kopiëer "
      "TARVO32.EXE vanaf de cd-rom over deze versie heen en probeer het nog eens...");
  StopProgram();
}

std::string LauncherVersion(const std::string& fileName) {
  return GetFileInfo(fileName, "FileVersion");
}

int CompareLauncherVersions(const std::string& first, const std::string& second) {
  const auto firstFields = NumericFields(first);
  const auto secondFields = NumericFields(second);
  if (!firstFields || !secondFields) return Sign(first.compare(second));
  const std::size_t count = std::max(firstFields->size(), secondFields->size());
  for (std::size_t i = 0; i < count; ++i) {
    const int order = CompareNumbers(i < firstFields->size() ? (*firstFields)[i] : "",
                                     i < secondFields->size() ? (*secondFields)[i] : "");
    if (order != 0) return order;
  }
  return 0;
}

std::string GetVolumeLabel() {
  VolumeInformation volume;
  if (!Api().GetVolumeInformation(StartDir.substr(0, 3), VolumeBufferSize, VolumeBufferSize,
                                  volume)) {
    return "Opvragen volumelabel mislukt!";
  }
  return volume.volumeName;
}

}  // namespace tarvo
