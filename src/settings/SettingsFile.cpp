// Settings files on disk; see SettingsFile.h.
#include "settings/SettingsFile.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <system_error>

#include "settings/DiskSync.h"

namespace morvane::settings {

namespace fs = std::filesystem;

namespace {

fs::path TemporaryPathFor(const fs::path& path) {
    std::random_device random;
    std::ostringstream suffix;
    suffix << ".tmp" << std::hex << random() << random();
    fs::path temporary = path;
    temporary += suffix.str();
    return temporary;
}

// The file a chain of symbolic links names; the path itself when it is no
// link. Saving replaces that file so that the operator's link stays a link.
std::optional<fs::path> LinkTarget(const fs::path& path, std::string& error) {
    constexpr int kMaxLinks = 40;  // as the kernel allows
    fs::path at = path;
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        std::error_code code;
        if (!fs::is_symlink(fs::symlink_status(at, code)))
            return at;
        const fs::path next = fs::read_symlink(at, code);
        if (code) {
            error = "cannot read the link " + at.string() + ": " + code.message();
            return std::nullopt;
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    error = path.string() + ": too many levels of symbolic links";
    return std::nullopt;
}

fs::path DirectoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

}  // namespace

LoadResult LoadSettingsFile(const fs::path& path, SettingsDocument& document) {
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

bool WriteFileAtomically(const fs::path& path, const std::string& bytes, std::string& error) {
    const std::optional<fs::path> target = LinkTarget(path, error);
    if (!target)
        return false;
    const fs::path temporary = TemporaryPathFor(*target);
    auto fail = [&](std::string why) {
        error = std::move(why);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            return fail("cannot write " + temporary.string());
    }
    std::error_code code;
    // A replaced file keeps its mode (a new one gets the default of the umask).
    const fs::file_status old = fs::status(*target, code);
    if (!code && fs::is_regular_file(old)) {
        fs::permissions(temporary, old.permissions() & fs::perms::mask, code);
        if (code)
            return fail("cannot set the mode of " + temporary.string() + ": " + code.message());
    }
    // The data must be on disk before the rename makes it the file, and the
    // rename itself before the save counts as done.
    if (!SyncToDisk(temporary, error))
        return fail(error);
    fs::rename(temporary, *target, code);
    if (code)
        return fail("cannot replace " + target->string() + ": " + code.message());
    return SyncToDisk(DirectoryOf(*target), error);
}

bool SaveSettingsFile(const fs::path& path, SettingsDocument& document, std::string& error) {
    SettingsArchive archive{.IsStoring = true, .Bytes = {}};
    document.Serialize(archive);
    if (!WriteFileAtomically(path, archive.Bytes, error)) {
        return false;
    }
    document.SetModified(false);
    return true;
}

}  // namespace morvane::settings
