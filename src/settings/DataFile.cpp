// Reader and writer of the settings data file; see DataFile.h. Kept free of
// anything but the standard library and iconv so the fuzz build can compile it.
#include "settings/DataFile.h"

#include "settings/TextCodec.h"

namespace morvane::settings {

namespace {

void PutLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::uint32_t GetLe(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

}  // namespace

void AppendArchiveString(std::string& out, std::string_view utf8) {
    std::u16string units = Utf8ToUtf16(utf8);
    std::uint64_t length = units.size();
    out.push_back(static_cast<char>(0xFF));
    PutLe(out, 0xFFFE, 2);
    if (length < 0xFF) {
        PutLe(out, length, 1);
    } else if (length < 0xFFFE) {
        out.push_back(static_cast<char>(0xFF));
        PutLe(out, length, 2);
    } else {
        out.push_back(static_cast<char>(0xFF));
        PutLe(out, 0xFFFF, 2);
        PutLe(out, length, 4);
    }
    for (char16_t unit : units) {
        PutLe(out, unit, 2);
    }
}

bool ArchiveReader::Fail(std::string message) {
    error_ = std::move(message) + " at byte " + std::to_string(pos_);
    return false;
}

bool ArchiveReader::ReadBytes(std::size_t count, std::string_view& out) {
    if (bytes_.size() - pos_ < count) {
        return Fail("file ends too early (" + std::to_string(count) + " bytes needed, " +
                    std::to_string(bytes_.size() - pos_) + " left)");
    }
    out = bytes_.substr(pos_, count);
    pos_ += count;
    return true;
}

// Length prefix; a Unicode tag (FF FE FF) may come once, before the length.
std::optional<std::uint32_t> ArchiveReader::ReadLength(bool& unicode) {
    unicode = false;
    for (;;) {
        std::string_view field;
        if (!ReadBytes(1, field)) {
            return std::nullopt;
        }
        std::uint32_t length = GetLe(field);
        if (length < 0xFF) {
            return length;
        }
        if (!ReadBytes(2, field)) {
            return std::nullopt;
        }
        length = GetLe(field);
        if (length == 0xFFFE) {
            if (unicode) {
                Fail("repeated Unicode tag");
                return std::nullopt;
            }
            unicode = true;
            continue;
        }
        if (length < 0xFFFE) {
            return length;
        }
        if (!ReadBytes(4, field)) {
            return std::nullopt;
        }
        return GetLe(field);
    }
}

std::optional<std::string> ArchiveReader::ReadString() {
    bool unicode = false;
    std::optional<std::uint32_t> length = ReadLength(unicode);
    if (!length) {
        return std::nullopt;
    }
    // Checked against what is left before anything is allocated, so an absurd
    // length is a short file rather than a huge allocation.
    std::uint64_t byteCount = unicode ? 2ULL * *length : *length;
    if (byteCount > bytes_.size() - pos_) {
        Fail("string of " + std::to_string(*length) + " characters runs past the end of the file");
        return std::nullopt;
    }
    std::string_view body;
    ReadBytes(static_cast<std::size_t>(byteCount), body);
    if (!unicode) {
        return Cp932ToUtf8(body);
    }
    std::u16string units(*length, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(GetLe(body.substr(2 * i, 2)));
    }
    std::optional<std::string> text = Utf16ToUtf8(units);
    if (!text) {
        pos_ -= body.size();
        Fail("string with an unpaired UTF-16 surrogate");
        return std::nullopt;
    }
    return text;
}

std::string WriteDataFile(const Entries& entries) {
    std::string out;
    AppendArchiveString(out, kStartMarker);
    for (int index = 1; index <= kEntryCount; ++index) {
        AppendArchiveString(out, entries[index]);
    }
    AppendArchiveString(out, kEndMarker);
    return out;
}

LoadResult ReadDataFile(std::string_view bytes, Entries& entries) {
    ArchiveReader reader(bytes);
    std::optional<std::string> first = reader.ReadString();
    if (!first) {
        return {LoadStatus::Failed, reader.Error()};
    }
    if (*first != kStartMarker) {
        entries.fill(std::string());
        return {LoadStatus::Rejected, std::string(kRejectedFileMessage)};
    }
    Entries loaded;
    for (int index = 1; index <= kEntryCount; ++index) {
        std::optional<std::string> value = reader.ReadString();
        if (!value) {
            return {LoadStatus::Failed, "entry " + std::to_string(index) + ": " + reader.Error()};
        }
        loaded[index] = std::move(*value);
    }
    // The end marker must be there but its text is not checked.
    if (!reader.ReadString()) {
        return {LoadStatus::Failed, "end marker: " + reader.Error()};
    }
    entries = std::move(loaded);
    return {LoadStatus::Loaded, {}};
}

}  // namespace morvane::settings
