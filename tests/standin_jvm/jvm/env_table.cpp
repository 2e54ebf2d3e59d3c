// The JNIEnv table: real functions where the stand-in has them, and one
// distinct aborting stub per remaining slot, so the trace names the slot.
#include "jni_tables.h"

#include "trace.h"

#include <array>
#include <cstring>
#include <string>
#include <utility>

namespace standin {
namespace {

using AnyFunction = void(JNICALL*)();

constexpr std::size_t kSlots = sizeof(JNINativeInterface_) / sizeof(AnyFunction);
static_assert(sizeof(JNINativeInterface_) == kSlots * sizeof(AnyFunction),
              "the JNIEnv table is expected to hold nothing but pointers");

// The host's arguments are ignored; x64 calling conventions make that safe.
template <std::size_t Index>
void JNICALL unimplemented()
{
    fatal("unimplemented JNI function #" + std::to_string(Index));
}

template <std::size_t... Index>
std::array<AnyFunction, sizeof...(Index)> make_stubs(std::index_sequence<Index...>)
{
    return {{&unimplemented<Index>...}};
}

// The first four slots are reserved and stay null, as in a real VM.
constexpr std::size_t kReservedSlots = 4;

JNINativeInterface_ build_table()
{
    std::array<AnyFunction, kSlots> slots = make_stubs(std::make_index_sequence<kSlots>{});
    for (std::size_t i = 0; i < kReservedSlots; ++i)
        slots[i] = nullptr;
    JNINativeInterface_ table;
    std::memcpy(&table, slots.data(), sizeof table);
    install_class_functions(table);
    install_call_functions(table);
    install_string_functions(table);
    install_array_functions(table);
    install_exception_functions(table);
    install_reference_functions(table);
    return table;
}

} // namespace

const JNINativeInterface_* env_function_table()
{
    static const JNINativeInterface_ table = build_table();
    return &table;
}

} // namespace standin
