// libFuzzer target for the settings data file loader: any bytes must give a
// loaded, rejected or failed result, never a crash, a hang or a huge
// allocation; a loaded file must write back to something that loads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/DataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane::settings;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Entries entries;
    LoadResult result = ReadDataFile(bytes, entries);
    if (result.Status == LoadStatus::Loaded) {
        Entries again;
        if (ReadDataFile(WriteDataFile(entries), again).Status != LoadStatus::Loaded ||
            again != entries) {
            std::abort();
        }
    }
    return 0;
}
