// The model's screen, volumes and locale-aware comparison.
#include <stdexcept>

#include "platform/ascii_case.h"
#include "support/windows_model.h"

namespace tarvo {

namespace {

constexpr std::uint32_t WindowsXpMetricsSize = 340;
constexpr std::uint32_t VistaMetricsSize = 344;

char FoldedLetter(char c, bool turkish) {
  const auto byte = static_cast<unsigned char>(c);
  // Turkish pairs i with the dotted capital and I with the dotless small
  // letter, so the two ASCII letters differ without regard to case.
  if (turkish && (c == 'i' || c == 'I')) return c;
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (byte >= 0xE0 && byte != 0xF7 && byte != 0xFF) return static_cast<char>(byte - 0x20);
  switch (byte) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<char>(byte - 0x10);
    case 0xFF:  // ÿ
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

std::string Folded(const std::string& text, bool turkish) {
  std::string folded = text;
  for (char& c : folded) c = FoldedLetter(c, turkish);
  return folded;
}

}  // namespace

std::string WindowsModel::CaseFolded(const std::string& text) { return Folded(text, false); }

bool WindowsModel::EqualWithoutCase(std::string_view first, std::string_view second) {
  if (first.size() != second.size()) return false;
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (FoldedLetter(first[i], false) != FoldedLetter(second[i], false)) return false;
  }
  return true;
}

bool WindowsModel::SystemParametersInfo(std::uint32_t action, std::uint32_t /*parameter*/,
                                        Rect& workArea, std::uint32_t /*winIni*/) {
  if (action != SpiGetWorkArea || failScreenQueries_) return false;
  workArea = workArea_;
  return true;
}

bool WindowsModel::SystemParametersInfo(std::uint32_t action, std::uint32_t /*parameter*/,
                                        NonClientMetrics& metrics, std::uint32_t /*winIni*/) {
  metricsSizeAsked_ = metrics.size;
  if (action != SpiGetNonClientMetrics || failScreenQueries_) return false;
  // Vista and later know both; Windows before Vista the first only.
  if (metrics.size != WindowsXpMetricsSize && metrics.size != VistaMetricsSize) return false;
  metrics.borderWidth = borderWidth_;
  metrics.captionHeight = captionHeight_;
  return true;
}

void WindowsModel::SetVolumeLabel(const std::string& drive, const std::string& label) {
  if (!IsFolder(drive)) throw std::logic_error("model: no drive " + drive);
  volumeLabels_[AsciiUpperCase(drive)] = label;
}

bool WindowsModel::GetVolumeInformation(const std::string& root, std::uint32_t volumeNameSize,
                                        std::uint32_t /*fileSystemNameSize*/,
                                        VolumeInformation& volume) {
  volumeNameSizeAsked_ = volumeNameSize;
  const std::string drive = AsciiUpperCase(root.substr(0, 2));
  if (root.size() != 3 || root[1] != ':' || root[2] != '\\' || !IsFolder(drive)) return false;
  const std::string label = volumeLabels_[drive];
  if (label.size() >= volumeNameSize) return false;
  volume = {label, 0x2026'1208, 255, 0, "NTFS"};
  return true;
}

int WindowsModel::CompareString(std::uint32_t locale, std::uint32_t flags, const std::string& first,
                                const std::string& second) {
  ++compareStringCalls_;
  if (flags != NormIgnoreCase) {
    throw std::logic_error("model: only comparisons without regard to case are modelled");
  }
  const bool userLocale = locale == LocaleUserDefault || locale == userLocale_;
  if (!userLocale && (locale != LocaleInvariant || lacksInvariantLocale_)) return 0;
  const bool turkish = userLocale && userLocale_ == TurkishLocale;
  const int order = Folded(first, turkish).compare(Folded(second, turkish));
  return order < 0 ? CstrLessThan : order == 0 ? CstrEqual : CstrGreaterThan;
}

}  // namespace tarvo
