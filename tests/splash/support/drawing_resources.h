// What the splash holds of the system's drawing resources, to tell a leak
// from a steady state: the process's GDI objects on Windows; on Linux the X
// resources of the splash's own display connection.
#pragma once

namespace splash_test {

class drawing_resources {
public:
    // Linux: finds the splash's connection through its visible window; call
    // while the splash window is shown. Windows: nothing to find.
    bool find_owner();
    // -1 when they cannot be counted.
    long count() const;

private:
    unsigned long owner = 0;
};

} // namespace splash_test
