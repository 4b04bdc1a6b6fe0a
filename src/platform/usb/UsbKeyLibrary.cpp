#include "platform/usb/UsbKeyLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

namespace morvane::platform {

namespace {
constexpr std::array<const char*, 2> kLibraryNames{"libusbif4cw.so", "usbif4cw.so"};
}  // namespace

std::string ExecutableDirectory() {
    std::array<char, 4096> path{};
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0)
        return {};
    std::string exe(path.data(), static_cast<std::size_t>(length));
    return exe.substr(0, exe.find_last_of('/') + 1);
}

UsbKeyLibrary::UsbKeyLibrary(std::vector<std::string> searchDirs)
    : searchDirs_(std::move(searchDirs)) {
    if (searchDirs_.empty())
        searchDirs_.push_back(ExecutableDirectory());
}

UsbKeyLibrary::~UsbKeyLibrary() {
    Unload();
}

bool UsbKeyLibrary::Load() {
    Unload();
    for (const char* name : kLibraryNames) {
        std::vector<std::string> candidates;
        for (const std::string& dir : searchDirs_) {
            if (dir.empty())
                continue;
            candidates.push_back(dir.back() == '/' ? dir + name : dir + "/" + name);
        }
        candidates.emplace_back(name);  // the library path
        for (const std::string& candidate : candidates) {
            void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr)
                continue;
            auto open = reinterpret_cast<OpenFn>(dlsym(handle, "usbif4cwOpen"));
            auto close = reinterpret_cast<CloseFn>(dlsym(handle, "usbif4cwClose"));
            auto write = reinterpret_cast<WriteFn>(dlsym(handle, "usbif4cwWriteData"));
            if (open == nullptr || close == nullptr || write == nullptr) {
                dlclose(handle);
                return false;
            }
            handle_ = handle;
            loadedPath_ = candidate;
            open_ = open;
            close_ = close;
            write_ = write;
            return true;
        }
    }
    return false;
}

void UsbKeyLibrary::Unload() {
    if (handle_ != nullptr)
        dlclose(handle_);
    handle_ = nullptr;
    loadedPath_.clear();
    open_ = nullptr;
    close_ = nullptr;
    write_ = nullptr;
}

int UsbKeyLibrary::Open(int index) {
    return open_ != nullptr ? open_(index) : -1;
}

void UsbKeyLibrary::Close(int id) {
    if (close_ != nullptr)
        close_(id);
}

void UsbKeyLibrary::WriteData(int id, int value) {
    if (write_ != nullptr)
        write_(id, 0, value);
}

}  // namespace morvane::platform
