// Settings files on disk; see SettingsFile.h.
#include "settings/SettingsFile.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <system_error>

namespace morvane::settings {

namespace {

std::filesystem::path TemporaryPathFor(const std::filesystem::path& path) {
    std::random_device random;
    std::ostringstream suffix;
    suffix << ".tmp" << std::hex << random() << random();
    std::filesystem::path temporary = path;
    temporary += suffix.str();
    return temporary;
}

}  // namespace

LoadResult LoadSettingsFile(const std::filesystem::path& path, SettingsDocument& document) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {LoadStatus::Failed, "cannot open " + path.string()};
    }
    SettingsArchive archive{.IsStoring = false,
                            .Bytes = std::string(std::istreambuf_iterator<char>(in), {})};
    if (in.bad()) {
        return {LoadStatus::Failed, "cannot read " + path.string()};
    }
    return document.Serialize(archive);
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         std::string& error) {
    std::filesystem::path temporary = TemporaryPathFor(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + temporary.string();
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(temporary, path, code);
    if (code) {
        error = "cannot replace " + path.string() + ": " + code.message();
        std::filesystem::remove(temporary, code);
        return false;
    }
    return true;
}

bool SaveSettingsFile(const std::filesystem::path& path, SettingsDocument& document,
                      std::string& error) {
    SettingsArchive archive{.IsStoring = true, .Bytes = {}};
    document.Serialize(archive);
    if (!WriteFileAtomically(path, archive.Bytes, error)) {
        return false;
    }
    document.SetModified(false);
    return true;
}

}  // namespace morvane::settings
