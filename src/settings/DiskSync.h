// Flushing a file or a folder to the disk, so that an atomic save also
// survives a power cut: the new data before the rename, the rename after it.
#pragma once

#include <filesystem>
#include <string>

namespace morvane::settings {

// Flushes the file's or folder's data and metadata; false with `error` set
// when the system refuses.
bool SyncToDisk(const std::filesystem::path& path, std::string& error);

}  // namespace morvane::settings
