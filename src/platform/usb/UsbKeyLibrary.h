// The USBIF4CW keying interface's own library, loaded at run time and never
// linked: "usbif4cw.dll" on Windows; "libusbif4cw.so", then "usbif4cw.so",
// each first beside the executable and then on the library path, on Linux.
// Its three entry points are resolved by name, and none is called unless all
// three were found.
#pragma once

#include <string>
#include <vector>

namespace morvane::platform {

inline constexpr int kUsbKeyDownValue = 254;
inline constexpr int kUsbKeyUpValue = 255;

class UsbKeyLibrary {
  public:
    // Directories searched before the library path; empty: the executable's.
    explicit UsbKeyLibrary(std::vector<std::string> searchDirs = {});
    ~UsbKeyLibrary();
    UsbKeyLibrary(const UsbKeyLibrary&) = delete;
    UsbKeyLibrary& operator=(const UsbKeyLibrary&) = delete;

    // Loads the library and resolves usbif4cwOpen, usbif4cwClose and
    // usbif4cwWriteData; false (and unloaded) when any is missing.
    bool Load();
    void Unload();
    bool Loaded() const { return handle_ != nullptr; }
    // Path of the loaded file, for messages.
    const std::string& LoadedPath() const { return loadedPath_; }

    // usbif4cwOpen(index): a device id, negative when no interface is present
    // (also when the library is not loaded).
    int Open(int index);
    void Close(int id);
    // usbif4cwWriteData(id, 0, value): 254 key down, 255 key up.
    void WriteData(int id, int value);

    using WriteFn = int (*)(int, int, int);
    // usbif4cwWriteData itself, for the crash handler's last key-up; null
    // when not loaded.
    WriteFn WriteEntry() const { return write_; }

  private:
    using OpenFn = int (*)(int);
    using CloseFn = int (*)(int);

    std::vector<std::string> searchDirs_;
    void* handle_ = nullptr;
    std::string loadedPath_;
    OpenFn open_ = nullptr;
    CloseFn close_ = nullptr;
    WriteFn write_ = nullptr;
};

// Directory of the running executable, with a trailing "/"; empty if unknown.
std::string ExecutableDirectory();

}  // namespace morvane::platform
