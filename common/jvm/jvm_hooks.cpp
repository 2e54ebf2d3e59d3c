// The runtime's output and exit hooks, and the one way each program ends.
#include "jvm_hooks.h"

#include "exit_codes.h"
#include "failure_report.h"
#include "jvm_output.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <stdexcept>

namespace {

constexpr size_t kKeptOutput = 16 * 1024;

// Any of the runtime's threads may call the hooks, also while the process
// exits: the state is never destroyed.
struct CreationState {
    std::atomic<bool> running{false};
    std::atomic<bool> quiet{false};
    std::atomic<int> quietExitCode{0};
    const std::function<void()>* quietEnd = nullptr;
    std::atomic<const std::function<int()>*> ending{nullptr};
    std::mutex mutex;
    std::string output;
};

CreationState& creation()
{
    static CreationState* state = new CreationState();
    return *state;
}

void keep(const std::string& text)
{
    CreationState& state = creation();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.output += text;
    if (state.output.size() > kKeptOutput) {
        // The end says why the runtime gave up; keep it from a line start.
        const size_t cut = state.output.size() - kKeptOutput;
        const size_t nextLine = state.output.find('\n', cut);
        state.output.erase(0, nextLine == std::string::npos ? cut : nextLine + 1);
    }
}

std::string keptOutput()
{
    CreationState& state = creation();
    std::lock_guard<std::mutex> lock(state.mutex);
    const size_t first = state.output.find_first_not_of("\r\n");
    if (first == std::string::npos)
        return {};
    return state.output.substr(first, state.output.find_last_not_of("\r\n") + 1 - first);
}

// The first caller ends the process; any other thread waits for that.
void oneEnding()
{
    static std::mutex* ending = new std::mutex();
    ending->lock();
}

// Runs in the runtime's frames: no C++ exception may leave, so the failure
// is reported here as the program's handler would, and the process ends.
[[noreturn]] void endFailedCreation(const std::string& withoutOutput)
{
    oneEnding();
    const std::string printed = keptOutput();
    reportFailure(std::runtime_error("Error creating VM. " + (printed.empty() ? withoutOutput : printed)));
    std::exit(kUnhandledExceptionExitCode);
}

[[noreturn]] void endQuietly()
{
    oneEnding();
    CreationState& state = creation();
    if (state.quietEnd != nullptr)
        (*state.quietEnd)();
    std::fflush(nullptr);
    std::_Exit(state.quietExitCode);
}

// Some runtimes give up on a failed archive write with a plain exit(1)
// that passes no hook.
void endQuietlyAtExit()
{
    if (creation().quiet)
        endQuietly();
}

[[noreturn]] void endWithProgram(const std::function<int()>& finish)
{
    oneEnding();
    std::fflush(nullptr);
    int result = kUnhandledExceptionExitCode;
    try {
        result = finish();
    } catch (const std::exception& e) {
        reportFailure(e);
    }
    std::fflush(nullptr);
    std::_Exit(result);
}

jint JNICALL runtimeOutput(std::FILE* stream, const char* format, va_list arguments)
{
    if (creation().quiet)
        return static_cast<jint>(formatRuntimeOutput(format, arguments).size());
    if (creation().running)
        keep(formatRuntimeOutput(format, arguments));
    return passRuntimeOutput(stream, format, arguments);
}

// Returning lets the runtime end the process with the code itself, exactly
// as without the hook.
void JNICALL runtimeExit(jint code)
{
    if (creation().quiet)
        endQuietly();
    if (const std::function<int()>* finish = creation().ending)
        endWithProgram(*finish);
    if (creation().running && code != 0)
        endFailedCreation("The Java runtime ended the process with exit code " + std::to_string(code));
}

// Also the runtime's way of giving up while it writes an archive.
void JNICALL runtimeAbort()
{
    if (creation().quiet)
        endQuietly();
    if (creation().running)
        endFailedCreation("The Java runtime aborted");
}

JavaVMOption hook(const char* name, void* function)
{
    JavaVMOption option;
    option.optionString = const_cast<char*>(name);
    option.extraInfo = function;
    return option;
}

} // namespace

std::vector<JavaVMOption> javaRuntimeHookOptions()
{
    return {hook("vfprintf", reinterpret_cast<void*>(&runtimeOutput)),
            hook("exit", reinterpret_cast<void*>(&runtimeExit)),
            hook("abort", reinterpret_cast<void*>(&runtimeAbort))};
}

JavaRuntimeCreation::JavaRuntimeCreation()
{
    CreationState& state = creation();
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.output.clear();
    }
    state.running = true;
}

JavaRuntimeCreation::~JavaRuntimeCreation()
{
    CreationState& state = creation();
    state.running = false;
    std::lock_guard<std::mutex> lock(state.mutex);
    state.output.clear();
}

std::string JavaRuntimeCreation::output() const
{
    return keptOutput();
}

QuietJavaRuntime::QuietJavaRuntime(int exitCode, const std::function<void()>& onEnd)
{
    static const bool atExit = std::atexit(&endQuietlyAtExit) == 0;
    (void)atExit;
    creation().quietExitCode = exitCode;
    creation().quietEnd = &onEnd;
    creation().quiet = true;
}

QuietJavaRuntime::~QuietJavaRuntime()
{
    creation().quiet = false;
    creation().quietEnd = nullptr;
}

JavaRuntimeEnd::JavaRuntimeEnd(const std::function<int()>& finish)
{
    creation().ending = &finish;
}

JavaRuntimeEnd::~JavaRuntimeEnd()
{
    creation().ending = nullptr;
}
