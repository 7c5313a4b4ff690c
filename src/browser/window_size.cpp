#include "browser/window_size.h"

#include "browser/catalogue_file.h"
#include "platform/int32_arithmetic.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::int32_t PageHeight = 480;
constexpr std::int32_t PageWidth = 640;
// NONCLIENTMETRICSA as Windows 95 to XP know it; every later one accepts it.
constexpr std::uint32_t NonClientMetricsSize = 340;

}  // namespace

bool GetDesktopSize(std::int32_t& height, std::int32_t& width) {
  height = 0;
  width = 0;
  Rect workArea;
  if (!Api().SystemParametersInfo(SpiGetWorkArea, 0, workArea, 0)) return false;
  height = WrappingSubtract(workArea.bottom, workArea.top);
  width = WrappingSubtract(workArea.right, workArea.left);
  return true;
}

bool GetBrowserSize(const std::string& browserCode, std::int32_t& height, std::int32_t& width) {
  const std::string code = browserCode.substr(0, 3);
  NonClientMetrics metrics;
  metrics.size = NonClientMetricsSize;
  const bool measured = Api().SystemParametersInfo(SpiGetNonClientMetrics, 0, metrics, 0);
  const std::int32_t border = measured ? metrics.borderWidth : 0;
  const std::int32_t caption = measured ? metrics.captionHeight : 0;

  const CatalogueReader catalogue(GetBrowserIniFileName());
  height = WrappingAdd(WrappingAdd(catalogue.ReadInteger(code, "ExtraH", 0), caption), PageHeight);
  width = WrappingAdd(catalogue.ReadInteger(code, "ExtraW", 0), PageWidth);
  if (code.size() >= 2 && code[1] == 'N') {
    const std::int32_t borders = WrappingAdd(border, border);
    height = WrappingAdd(height, borders);
    width = WrappingAdd(width, borders);
  }
  return measured;
}

}  // namespace tarvo
