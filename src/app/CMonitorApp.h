#pragma once
// Start-up: the operating-system check, the single-instance guard, the settings-file path,
// loading the settings and running the main window. Runs on the main thread.

class CMonitorApp {
public:
    // Always false: when it returns the process ends, after a normal run as after a failure.
    bool InitInstance();
};
