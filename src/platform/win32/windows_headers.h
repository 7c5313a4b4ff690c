// The one place that includes <windows.h>. The product's seam has methods
// named like the Win32 calls, so the A/W macros of those names are removed
// here; the backend calls the ANSI functions by their full names.
//
// The build sets _WIN32_WINNT and WINVER for every file (a define here would
// come too late: any standard header sets them first), so that the headers
// offer only what Windows 95 and NT 4.0 have.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#undef CreateFile
#undef CreateProcess
#undef FindExecutable
#undef FindFirstFile
#undef GetCommandLine
#undef GetModuleFileName
#undef GetSystemDirectory
#undef LoadLibrary
#undef MessageBox
#undef RegCreateKeyEx
#undef RegDeleteValue
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
// Browser detection's calls.
#undef CompareString
#undef DeleteFile
#undef FindNextFile
#undef GetFileVersionInfo
#undef GetFileVersionInfoSize
#undef GetPrivateProfileString
#undef GetVolumeInformation
#undef GetWindowsDirectory
#undef MoveFileEx
#undef SystemParametersInfo
#undef VerQueryValue
// Start page and file-error diagnosis.
#undef GetTempPath
#undef GetFileAttributes
#undef GetDriveType
#undef GetDiskFreeSpaceEx
#undef GetDateFormat
#undef GetTimeFormat
