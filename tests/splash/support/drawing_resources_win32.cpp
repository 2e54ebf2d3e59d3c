#include "drawing_resources.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace splash_test {

namespace {

// An entry of the GDI handle table that the process environment block
// points to (GdiSharedHandleTable, at offset 0xF8 of the 64-bit PEB).
struct gdi_handle_entry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user;
};
static_assert(sizeof(gdi_handle_entry) == 24, "64-bit GDI handle table entry");
constexpr std::size_t kPebGdiSharedHandleTable = 0xF8;
constexpr std::size_t kGdiHandleCount = 0x10000;

// Wine's GetGuiResources is a stub that answers 0, but Wine keeps this
// table for its own process only: the entries in use are its GDI objects
// (stock objects included).
long gdi_table_entries_in_use()
{
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const unsigned char*>(process.PebBaseAddress);
    const auto* table = *reinterpret_cast<const gdi_handle_entry* const*>(peb + kPebGdiSharedHandleTable);
    if (table == nullptr)
        return -1;
    long used = 0;
    for (std::size_t i = 0; i < kGdiHandleCount; ++i)
        if (table[i].type != 0)
            ++used;
    return used;
}

} // namespace

bool drawing_resources::find_owner()
{
    return true;
}

long drawing_resources::count() const
{
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (objects != 0)
        return static_cast<long>(objects);
    return gdi_table_entries_in_use();
}

} // namespace splash_test
