#include "platform/message_box.h"

#include "platform/ascii_case.h"
#include "platform/path_names.h"
#include "platform/win32_api.h"

namespace tarvo {

std::string ApplicationTitle(const std::string& moduleFileName) {
  std::string title = ExtractFileName(moduleFileName);
  title = title.substr(0, title.find('.'));
  if (title.empty()) return title;
  return title.front() + AsciiLowerCase(title.substr(1));
}

void ShowMessage(const std::string& text) {
  Api().MessageBox(text, ApplicationTitle(Api().GetModuleFileName()), MessageBoxIcon::None);
}

}  // namespace tarvo
