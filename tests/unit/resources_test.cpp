// The Windows programs carry their icon group, version block and manifest,
// and are GUI programs. Read from the built files as Windows reads them.
#include "test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct ModuleFree {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};
using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

Module loadAsData(const boost::filesystem::path& program)
{
    return Module(LoadLibraryExA(program.string().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string resourceText(HMODULE module, LPCSTR name, LPCSTR type)
{
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr)
        return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(bytes, SizeofResource(module, found));
}

#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved, type, count;
};
struct IconGroupEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// Sizes of the icon group's images; each must have 32 bits per pixel.
std::vector<int> iconSizes(HMODULE module)
{
    std::string group = resourceText(module, "MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    std::vector<int> sizes;
    if (group.size() < sizeof(IconGroupHeader))
        return sizes;
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group.data());
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + sizeof(IconGroupHeader));
    for (WORD i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].bitCount, 32) << "image " << i;
        sizes.push_back(entries[i].width == 0 ? 256 : entries[i].width);
    }
    return sizes;
}

std::string fileVersion(const boost::filesystem::path& program)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(program.string().c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(program.string().c_str(), 0, size, block.data()))
        return "none";
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length))
        return "none";
    char text[64];
    wsprintfA(text, "%u.%u.%u.%u / %u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
              HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS), HIWORD(info->dwProductVersionMS),
              LOWORD(info->dwProductVersionMS), HIWORD(info->dwProductVersionLS), LOWORD(info->dwProductVersionLS));
    return text;
}

WORD subsystem(HMODULE module)
{
    // A data-file mapping is tagged in the low bits of the handle.
    auto base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR(3));
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    return nt->OptionalHeader.Subsystem;
}

TEST(Resources, TheLauncherRunsAsInvokerWithItsIconAndVersion)
{
    Module launcher = loadAsData(test_paths::launcherProgram());
    ASSERT_TRUE(launcher);
    EXPECT_EQ(iconSizes(launcher.get()), (std::vector<int>{16, 24, 32, 64, 128}));
    EXPECT_EQ(fileVersion(test_paths::launcherProgram()), "5.0.0.0 / 5.0.0.0");
    std::string manifest = resourceText(launcher.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
    EXPECT_EQ(subsystem(launcher.get()), IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_EQ(resourceText(launcher.get(), "IDI_SPLASHIMAGE", "PNG"), "") << "the default build carries no picture";
}

TEST(Resources, TheUpdaterAsksForAdministratorRights)
{
    Module updater = loadAsData(test_paths::updaterProgram());
    ASSERT_TRUE(updater);
    EXPECT_EQ(iconSizes(updater.get()), (std::vector<int>{16, 24, 32, 48, 64, 128}));
    EXPECT_EQ(fileVersion(test_paths::updaterProgram()), "1.3.0.0 / 1.3.0.0");
    std::string manifest = resourceText(updater.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
    EXPECT_EQ(subsystem(updater.get()), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

} // namespace
