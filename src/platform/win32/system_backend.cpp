// Screen metrics, volume information and the locale's text comparison.
#include <vector>

#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

static_assert(sizeof(NONCLIENTMETRICSA) == 340, "the build targets Windows 95's headers");

// Vista added iPaddedBorderWidth at the end; Windows fills as much of the
// record as its size field says, so there is room for either form.
struct NonClientMetricsRecord {
  NONCLIENTMETRICSA classic;
  int paddedBorderWidth;
};

std::string TextOf(const std::vector<char>& buffer) {
  std::string text(buffer.data(), buffer.size());
  return text.substr(0, text.find('\0'));
}

}  // namespace

bool Win32Backend::SystemParametersInfo(std::uint32_t action, std::uint32_t parameter,
                                        Rect& workArea, std::uint32_t winIni) {
  RECT area;
  if (!SystemParametersInfoA(action, parameter, &area, winIni)) return false;
  workArea = {area.left, area.top, area.right, area.bottom};
  return true;
}

bool Win32Backend::SystemParametersInfo(std::uint32_t action, std::uint32_t parameter,
                                        NonClientMetrics& metrics, std::uint32_t winIni) {
  if (metrics.size > sizeof(NonClientMetricsRecord)) return false;
  NonClientMetricsRecord record = {};
  record.classic.cbSize = metrics.size;
  if (!SystemParametersInfoA(action, parameter, &record, winIni)) return false;
  metrics.borderWidth = record.classic.iBorderWidth;
  metrics.captionHeight = record.classic.iCaptionHeight;
  return true;
}

bool Win32Backend::GetVolumeInformation(const std::string& root, std::uint32_t volumeNameSize,
                                        std::uint32_t fileSystemNameSize,
                                        VolumeInformation& volume) {
  std::vector<char> volumeName(std::size_t{volumeNameSize} + 1, '\0');
  std::vector<char> fileSystemName(std::size_t{fileSystemNameSize} + 1, '\0');
  DWORD serialNumber = 0;
  DWORD maximumComponentLength = 0;
  DWORD fileSystemFlags = 0;
  if (!GetVolumeInformationA(root.c_str(), volumeName.data(), volumeNameSize, &serialNumber,
                             &maximumComponentLength, &fileSystemFlags, fileSystemName.data(),
                             fileSystemNameSize)) {
    return false;
  }
  volume = {TextOf(volumeName), serialNumber, maximumComponentLength, fileSystemFlags,
            TextOf(fileSystemName)};
  return true;
}

int Win32Backend::CompareString(std::uint32_t locale, std::uint32_t flags, const std::string& first,
                                const std::string& second) {
  return CompareStringA(locale, flags, first.data(), static_cast<int>(first.size()), second.data(),
                        static_cast<int>(second.size()));
}

}  // namespace tarvo
