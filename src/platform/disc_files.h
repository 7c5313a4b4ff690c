// The disc's files the launcher reads, starts the browser on or names,
// relative to the disc's root.
#pragma once

namespace tarvo {

inline constexpr const char* DiscLauncherFile = "tarvo32.exe";
inline constexpr const char* CatalogueFile = "intface\\browsers.ini";
inline constexpr const char* MainPageFile = "intface\\hoofd.htm";
inline constexpr const char* FramePageFile = "intface\\frame.htm";
inline constexpr const char* TemplateFile = "intface\\template.htm";
inline constexpr const char* SmallScreenPageFile = "intface\\eenvoud\\bureau.htm";
inline constexpr const char* OldBrowserPageFile = "intface\\eenvoud\\oudebrow.htm";
// Named to the user when the browser cannot be started (in the message's
// own words).
inline constexpr const char* OverviewPageFile = "intface\\eenvoud\\overzich.htm";

}  // namespace tarvo
