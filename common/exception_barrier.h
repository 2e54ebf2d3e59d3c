// Where a call from outside enters the programs' code (a JNI native, a
// thread's body, a hook of the Java runtime), no C++ exception may leave:
// past that edge it would end the process without a word. The barrier turns
// one into a line for `report`, which must not throw.
#pragma once

#include <exception>
#include <string>

template <class Call, class Report>
void exceptionBarrier(const char* what, Call&& call, Report&& report) noexcept
{
    try {
        call();
    } catch (const std::exception& e) {
        report(std::string(what) + ": " + e.what());
    } catch (...) {
        report(std::string(what));
    }
}
