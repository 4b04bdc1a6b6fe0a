// Loading and saving the settings data file on disk. A save writes a
// temporary file beside the target and renames it over the old one, so an
// interrupted or failed save leaves the previous file as it was.
#pragma once

#include <filesystem>
#include <string>

#include "settings/SettingsDocument.h"

namespace morvane::settings {

// Reads the file into the document (see SettingsDocument::Serialize); an
// unreadable file is a Failed result naming the problem.
LoadResult LoadSettingsFile(const std::filesystem::path& path, SettingsDocument& document);

// Writes the document atomically; clears the modified mark on success.
// Returns false with `error` set when the file could not be written.
bool SaveSettingsFile(const std::filesystem::path& path, SettingsDocument& document,
                      std::string& error);

// Writes bytes to a file atomically (temporary file, then rename).
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         std::string& error);

}  // namespace morvane::settings
