// morvane-settings: dump a settings data file as text, or build one from
// such a dump, so that settings can be backed up, compared and repaired.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "settings/DumpText.h"
#include "settings/SettingsFile.h"

namespace {

using namespace morvane::settings;

constexpr int kUsageError = 1;
constexpr int kFileError = 2;

int Usage() {
    std::cerr << "usage: morvane-settings dump FILE.mrvn\n"
                 "       morvane-settings build DUMP.txt FILE.mrvn\n";
    return kUsageError;
}

int Dump(const std::string& path) {
    SettingsDocument document;
    LoadResult result = LoadSettingsFile(path, document);
    if (result.Status == LoadStatus::Rejected) {
        std::cerr << result.Error << '\n';
        return kFileError;
    }
    if (result.Status == LoadStatus::Failed) {
        std::cerr << path << ": " << result.Error << '\n';
        return kFileError;
    }
    std::cout << DumpEntries(document.SettingsEntries());
    return std::cout ? 0 : kFileError;
}

int Build(const std::string& dumpPath, const std::string& outPath) {
    std::ifstream in(dumpPath, std::ios::binary);
    if (!in) {
        std::cerr << dumpPath << ": cannot open\n";
        return kFileError;
    }
    std::string text(std::istreambuf_iterator<char>(in), {});
    Entries entries;
    std::string error;
    if (!ParseDump(text, entries, error)) {
        std::cerr << dumpPath << ": " << error << '\n';
        return kFileError;
    }
    if (!WriteFileAtomically(outPath, WriteDataFile(entries), error)) {
        std::cerr << error << '\n';
        return kFileError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "dump" && argc == 3) {
        return Dump(argv[2]);
    }
    if (command == "build" && argc == 4) {
        return Build(argv[2], argv[3]);
    }
    return Usage();
}
