#include "support/windows_model.h"

#include <algorithm>
#include <stdexcept>

#include "platform/ascii_case.h"
#include "platform/path_names.h"
#include "support/model_calendar.h"

namespace tarvo {

namespace {

constexpr std::intptr_t SeErrFileNotFound = 2;
// The longest ANSI path, final zero included.
constexpr std::size_t MaxPath = 260;
constexpr std::intptr_t SeErrNoAssociation = 31;
constexpr std::intptr_t FoundInstance = 42;

constexpr std::uint64_t DefaultDiskBytes = 10'737'418'240;
constexpr std::uint64_t DefaultDiskFreeBytes = DefaultDiskBytes / 4;
constexpr std::uint64_t CdBytes = 681'574'400;

// The program a command line starts: its quoted first part, or everything
// up to the first blank.
std::string ProgramOf(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine.front() == '"') {
    return commandLine.substr(1, commandLine.find('"', 1) - 1);
  }
  return commandLine.substr(0, commandLine.find(' '));
}

}  // namespace

std::string WindowsModel::KeyOf(const std::string& path) { return AsciiUpperCase(path); }

std::string WindowsModel::ParentOf(const std::string& path) {
  const auto last = path.find_last_of('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

WindowsModel::WindowsModel() : moduleFileName_("D:\\TARVO32.EXE"), commandLine_("D:\\TARVO32.EXE") {
  AddDrive('C', DriveFixed, DefaultDiskBytes, DefaultDiskFreeBytes);
  AddDrive('D', DriveCdrom, CdBytes, 0);
  AddFolder(windowsDirectory_);
  AddFolder(*tempPath_);
}

void WindowsModel::AddFolder(const std::string& path) {
  std::string folder = path;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (folder.size() >= 2 && folder[1] == ':') {
    const char letter = AsciiUpperCase(folder.substr(0, 1)).front();
    drives_.try_emplace(letter, Drive{DriveFixed, DefaultDiskBytes, DefaultDiskFreeBytes});
  }
  for (; !folder.empty(); folder = ParentOf(folder)) {
    entries_.insert({KeyOf(folder), {FileAttributeDirectory, Now, "", ExtractFileName(folder)}});
  }
}

void WindowsModel::AddFile(const std::string& path, const std::string& content,
                           std::uint32_t attributes, std::uint64_t lastWriteTime) {
  AddFolder(ParentOf(path));
  entries_[KeyOf(path)] = {attributes, lastWriteTime, content, ExtractFileName(path)};
}

void WindowsModel::AssociateExtension(const std::string& extension,
                                      const std::string& openCommand) {
  const std::string type = extension.substr(1) + "file";
  SetRegistryText(HkeyClassesRoot, extension, "", type);
  SetRegistryText(HkeyClassesRoot, type + "\\shell\\open\\command", "", openCommand);
}

std::optional<std::string> WindowsModel::FileContent(const std::string& path) const {
  const Entry* entry = Find(path);
  if (!entry || (entry->attributes & FileAttributeDirectory)) return std::nullopt;
  return entry->content;
}

const WindowsModel::Entry* WindowsModel::Find(const std::string& path) const {
  const std::string key = KeyOf(path);
  const auto last = key.find_last_of('\\');
  const std::string resolved =
      last == std::string::npos ? key : ResolvedKey(key.substr(0, last)) + key.substr(last);
  const auto found = entries_.find(resolved);
  return found == entries_.end() ? nullptr : &found->second;
}

bool WindowsModel::IsFolder(const std::string& path) const {
  const Entry* entry = Find(path);
  return entry && (entry->attributes & FileAttributeDirectory);
}

std::optional<std::string> WindowsModel::ClassesRootDefault(const std::string& key) const {
  const auto value = RegistryValueOf(HkeyClassesRoot, key, "");
  if (!value || value->type != RegSz) return std::nullopt;
  const std::string text(value->data.begin(), value->data.end());
  return text.substr(0, text.find('\0'));
}

bool WindowsModel::CreateProcess(const std::string& commandLine, std::uint32_t creationFlags,
                                 const StartupInfo& startup) {
  ++createProcessCalls_;
  const Entry* program = Find(ProgramOf(commandLine));
  if (failProcessStarts_ || !program || (program->attributes & FileAttributeDirectory)) {
    return false;
  }
  started_.push_back({commandLine, creationFlags, startup});
  return true;
}

std::intptr_t WindowsModel::FindExecutable(const std::string& file,
                                           const std::string& /*directory*/, std::string& result) {
  if (onFindExecutable_) onFindExecutable_();
  if (file.size() >= MaxPath || !Find(file)) return SeErrFileNotFound;
  const std::string name = ExtractFileName(file);
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return SeErrNoAssociation;
  const auto type = ClassesRootDefault(name.substr(dot));
  const auto command = type ? ClassesRootDefault(*type + "\\shell\\open\\command") : std::nullopt;
  if (!command) return SeErrNoAssociation;
  result = ProgramOf(*command);
  return FoundInstance;
}

Handle WindowsModel::FindFirstFile(const std::string& pattern, FindData& data) {
  if (onFindFirstFile_) onFindFirstFile_(pattern);
  std::vector<FindData> found = Matches(pattern);
  if (found.empty()) return NoHandle;
  data = found.front();
  found.erase(found.begin());
  const Handle search = NewHandle();
  openSearches_[search] = std::move(found);
  return search;
}

void WindowsModel::FindClose(Handle search) {
  if (openSearches_.erase(search) == 0) {
    throw std::logic_error("model: FindClose of a handle that is not open");
  }
}

bool WindowsModel::FileTimeToLocalFileTime(std::uint64_t fileTime, std::uint64_t& local) {
  local = fileTime;  // the model's time zone is UTC
  return true;
}

bool WindowsModel::FileTimeToDosDateTime(std::uint64_t fileTime, DosDateTime& dos) {
  const SystemTime time = SystemTimeFromFileTime(fileTime);
  // Windows's documented range; Wine 8 wraps years after 2107 instead.
  if (time.year < 1980 || time.year > 2107) return false;
  dos.date = static_cast<std::uint16_t>(((time.year - 1980) << 9) | (time.month << 5) | time.day);
  dos.time = static_cast<std::uint16_t>((time.hour << 11) | (time.minute << 5) | (time.second / 2));
  return true;
}

bool WindowsModel::IsOpen(const std::string& key, bool forWriting) const {
  for (const auto& [handle, open] : openFiles_) {
    if (open.key == key && (!forWriting || open.writable)) return true;
  }
  return false;
}

Handle WindowsModel::CreateFile(const std::string& path, FileCreation creation) {
  const std::string key = KeyOf(path);
  const Entry* existing = Find(key);
  if (path.size() >= MaxPath) return NoHandle;
  const bool creating = creation != FileCreation::OpenExistingRead;
  if (creating && !existing && newFilesDenied_.count(ResolvedKey(ParentOf(key)))) return NoHandle;
  switch (creation) {
    case FileCreation::CreateNew:
      if (existing) return NoHandle;
      [[fallthrough]];
    case FileCreation::CreateAlways: {
      if (!IsFolder(ParentOf(key))) return NoHandle;
      constexpr std::uint32_t refusing = FileAttributeDirectory | FileAttributeReadOnly;
      if (existing && (existing->attributes & refusing)) return NoHandle;
      if (IsOpen(key, false)) return NoHandle;  // the creation shares nothing
      entries_[key] = {FileAttributeArchive, clock_, "",
                       existing ? existing->name : ExtractFileName(path)};
      break;
    }
    case FileCreation::OpenExistingRead:
      if (!existing || (existing->attributes & FileAttributeDirectory)) return NoHandle;
      if (IsOpen(key, true)) return NoHandle;  // sharing read only
      break;
  }
  const Handle file = NewHandle();
  openFiles_[file] = {key, creating, 0};
  return file;
}

WindowsModel::OpenFile& WindowsModel::OpenFileOf(Handle file, const char* call) {
  const auto open = openFiles_.find(file);
  if (open == openFiles_.end()) {
    throw std::logic_error(std::string("model: ") + call + " of a handle that is not open");
  }
  return open->second;
}

bool WindowsModel::WriteFile(Handle file, const void* data, std::uint32_t size,
                             std::uint32_t& written) {
  OpenFile& open = OpenFileOf(file, "WriteFile");
  written = 0;
  const auto drive = drives_.find(open.key.front());
  const bool full = drive != drives_.end() && drive->second.freeBytes < size;
  if (failWrites_ || full || !open.writable) return false;
  entries_[open.key].content.append(static_cast<const char*>(data), size);
  if (drive != drives_.end()) drive->second.freeBytes -= size;
  written = size;
  return true;
}

bool WindowsModel::ReadFile(Handle file, void* data, std::uint32_t size, std::uint32_t& read) {
  OpenFile& open = OpenFileOf(file, "ReadFile");
  const std::string& content = entries_[open.key].content;
  read = static_cast<std::uint32_t>(
      content.copy(static_cast<char*>(data), size, std::min(open.position, content.size())));
  open.position += read;
  return true;
}

bool WindowsModel::GetFileSize(Handle file, std::uint64_t& size) {
  size = entries_[OpenFileOf(file, "GetFileSize").key].content.size();
  return true;
}

void WindowsModel::CloseHandle(Handle object) {
  if (openFiles_.erase(object) == 0) {
    throw std::logic_error("model: CloseHandle of a handle that is not open");
  }
}

void WindowsModel::MessageBox(const std::string& text, const std::string& caption,
                              MessageBoxIcon icon) {
  std::set<std::string> files;
  for (const auto& [path, entry] : entries_) {
    if (!(entry.attributes & FileAttributeDirectory)) files.insert(path);
  }
  boxes_.push_back({caption, text, icon, files});
}

}  // namespace tarvo
