// The Windows programs carry their icon group, version block and manifest,
// and are GUI programs. Read from the built files as Windows reads them.
// BrandedResources reads the programs of a build with the shipping options
// set (tests/shipping), installed as a shipper would install them.
#include "test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
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

const IMAGE_NT_HEADERS64* headers(HMODULE module)
{
    // A data-file mapping is tagged in the low bits of the handle.
    auto base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR(3));
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
}

WORD subsystem(HMODULE module)
{
    return headers(module)->OptionalHeader.Subsystem;
}

// Size of the Authenticode certificate table: 0 for a program nobody signed.
DWORD signatureSize(HMODULE module)
{
    return headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY].Size;
}

std::wstring wide(const std::string& utf8)
{
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    return text;
}

std::string utf8(const std::wstring& text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                         &bytes[0], static_cast<int>(bytes.size()), nullptr,
                                                         nullptr)));
    return bytes;
}

// One text of the version block (US English, Unicode), as Explorer reads it.
std::string versionText(const boost::filesystem::path& program, const char* name)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(program.wstring().c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoW(program.wstring().c_str(), 0, size, block.data()))
        return "<no version block>";
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring key = L"\\StringFileInfo\\040904b0\\" + wide(name);
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr)
        return "<no " + std::string(name) + ">";
    return utf8(std::wstring(value, length > 0 ? length - 1 : 0));
}

struct IconFree {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct BitmapFree {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
struct DcFree {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

// The icon that Windows loads for a size, drawn: its width and the colour
// at its centre.
struct DrawnIcon {
    int width = 0;
    COLORREF centre = CLR_INVALID;
};

DrawnIcon loadIcon(HMODULE module, int size)
{
    std::unique_ptr<HICON__, IconFree> icon(
        static_cast<HICON>(LoadImageA(module, "MAINICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    DrawnIcon drawn;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon.get(), &info))
        return drawn;
    std::unique_ptr<HBITMAP__, BitmapFree> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (!colour || GetObjectA(colour.get(), sizeof bitmap, &bitmap) == 0)
        return drawn;
    drawn.width = bitmap.bmWidth;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bitmap.bmWidth) * static_cast<size_t>(bitmap.bmHeight));
    std::unique_ptr<HDC__, DcFree> dc(CreateCompatibleDC(nullptr));
    if (GetDIBits(dc.get(), colour.get(), 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &format,
                  DIB_RGB_COLORS) == 0)
        return drawn;
    const DWORD pixel = pixels[static_cast<size_t>(bitmap.bmHeight / 2 * bitmap.bmWidth + bitmap.bmWidth / 2)];
    drawn.centre = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    return drawn;
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
    EXPECT_EQ(signatureSize(launcher.get()), 0u) << "nothing is signed without a certificate";
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
    EXPECT_EQ(signatureSize(updater.get()), 0u) << "nothing is signed without a certificate";
}

#ifdef BRANDED_LAUNCHER
// The shipper's program names both programs in their version blocks; the
// updater is that product's updater.
void expectBrandedVersionBlock(const boost::filesystem::path& program, const std::string& description,
                               const std::string& fileName)
{
    EXPECT_EQ(versionText(program, "CompanyName"), BRANDED_COMPANY);
    EXPECT_EQ(versionText(program, "ProductName"), BRANDED_PRODUCT);
    EXPECT_EQ(versionText(program, "FileDescription"), description);
    EXPECT_EQ(versionText(program, "OriginalFilename"), fileName);
    EXPECT_EQ(versionText(program, "FileVersion"), BRANDED_VERSION);
    EXPECT_EQ(versionText(program, "ProductVersion"), BRANDED_VERSION);
    EXPECT_EQ(fileVersion(program), BRANDED_VERSION " / " BRANDED_VERSION);
}

TEST(BrandedResources, TheLauncherCarriesTheShippersNameIconAndVersion)
{
    const boost::filesystem::path program = test_paths::fromUtf8(BRANDED_LAUNCHER);
    Module launcher = loadAsData(program);
    ASSERT_TRUE(launcher) << BRANDED_LAUNCHER;
    expectBrandedVersionBlock(program, BRANDED_PRODUCT, BRANDED_NAME ".exe");
    EXPECT_EQ(versionText(program, "InternalName"), BRANDED_NAME);
    EXPECT_EQ(iconSizes(launcher.get()), (std::vector<int>{16, 32, 48}));
    for (int size : {16, 32, 48}) {
        DrawnIcon icon = loadIcon(launcher.get(), size);
        EXPECT_EQ(icon.width, size);
        EXPECT_EQ(icon.centre, BRANDED_LAUNCHER_COLOUR) << "size " << size;
    }
    std::string manifest = resourceText(launcher.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("version=\"" BRANDED_VERSION "\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
    EXPECT_GT(signatureSize(launcher.get()), 0u);
}

TEST(BrandedResources, TheUpdaterIsTheProductsUpdaterWithItsOwnIcon)
{
    const boost::filesystem::path program = test_paths::fromUtf8(BRANDED_UPDATER);
    Module updater = loadAsData(program);
    ASSERT_TRUE(updater) << BRANDED_UPDATER;
    expectBrandedVersionBlock(program, BRANDED_PRODUCT " updater", "updater.exe");
    EXPECT_EQ(versionText(program, "InternalName"), "updater");
    EXPECT_EQ(iconSizes(updater.get()), (std::vector<int>{16, 32, 48}));
    DrawnIcon icon = loadIcon(updater.get(), 32);
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.centre, BRANDED_UPDATER_COLOUR);
    std::string manifest = resourceText(updater.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
    EXPECT_GT(signatureSize(updater.get()), 0u);
}
#endif

} // namespace
