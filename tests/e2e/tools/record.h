// Both tools report through record files: one line per record, fields
// separated by tabs. Byte strings travel as upper-case hex, so Windows-1252
// texts with tabs or line breaks in them come back to the harness exactly.
#pragma once

#include <initializer_list>
#include <string>

std::string HexBytes(const std::string& bytes);

// Appends `fields` joined by tabs plus CR LF to the file at `path`, creating
// it when missing. Returns false when the file cannot be written.
bool AppendRecord(const std::string& path, std::initializer_list<std::string> fields);
