// The settings data file: 162 archive strings (start marker, entries 1 to
// 160, end marker), each a Unicode tag FF FE FF, a length in UTF-16 units
// (one byte below 255, else FF + 16 bits below 0xFFFE, else FF FF FF + 32
// bits) and the UTF-16LE text. Untagged strings of older files are 8-bit
// CP932 text. Pure byte <-> entries conversion; files are in SettingsFile.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/SettingsEntries.h"

namespace morvane::settings {

using common::kEntryCount;

// Index 0 is never used; entries 1 to 160 hold UTF-8 text.
using Entries = std::array<std::string, kEntryCount + 1>;

inline constexpr std::string_view kStartMarker = "<<## MRVN2-7-1 data ##>>";
inline constexpr std::string_view kEndMarker = "<<## MRVN2-7-1 end ##>>";
inline constexpr std::string_view kRejectedFileMessage =
    "このファイルは読めません。\n別のファイルを開くか、「新規作成」してください。";

// Appends one archive string (always the tagged UTF-16 form).
void AppendArchiveString(std::string& out, std::string_view utf8);

// Reads archive strings one after the other from a byte buffer.
class ArchiveReader {
  public:
    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    // The next string as UTF-8, or nullopt with Error() describing why.
    std::optional<std::string> ReadString();
    const std::string& Error() const { return error_; }
    std::size_t Offset() const { return pos_; }

  private:
    bool ReadBytes(std::size_t count, std::string_view& out);
    std::optional<std::uint32_t> ReadLength(bool& unicode);
    bool Fail(std::string message);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::string error_;
};

enum class LoadStatus {
    Loaded,    // all 162 strings read
    Rejected,  // first string is not the start marker: entries are all empty
    Failed     // archive error (truncated, malformed): entries untouched
};

struct LoadResult {
    LoadStatus Status = LoadStatus::Failed;
    std::string Error;  // for Failed: what went wrong and at which byte
};

// The whole file for a set of entries.
std::string WriteDataFile(const Entries& entries);

// Reads a whole file into `entries`; see LoadStatus for what each outcome leaves.
LoadResult ReadDataFile(std::string_view bytes, Entries& entries);

}  // namespace morvane::settings
