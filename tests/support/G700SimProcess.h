#pragma once
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// The gateway simulator run as a child process for a test: started on a free loopback port
// (--listen 127.0.0.1:0, the port read from its "listening on" line), its stdout collected line
// by line, and stopped with SIGTERM (SIGKILL if it does not end) when the object goes.
class TG700SimProcess {
public:
    // Starts Program with the flags in Args; throws std::runtime_error when it does not report
    // listening within a few seconds.
    TG700SimProcess(const std::string& Program, const std::vector<std::string>& Args);
    ~TG700SimProcess();
    TG700SimProcess(const TG700SimProcess&) = delete;
    TG700SimProcess& operator=(const TG700SimProcess&) = delete;

    int Port() const { return FPort; }

    // True once a line of its output contains Text, waiting up to Timeout for it.
    bool WaitForLine(const std::string& Text, std::chrono::milliseconds Timeout);

    const std::vector<std::string>& Lines() const { return FLines; }

    // How many lines of its output so far contain Text, taking in what it has just said.
    std::size_t CountLines(const std::string& Text);

    // Sends Signal without waiting for anything (SIGUSR1 switches the faults off).
    void Signal(int Signal);

    // Sends Signal and waits up to Timeout for the end; the exit code, or -1 when it did not
    // exit by itself in time (it is then killed) or ended by a signal.
    int Stop(int Signal, std::chrono::milliseconds Timeout);

    struct TRun {
        int ExitCode;
        std::string Output; // stdout and stderr together
    };
    // Runs Program with Args to its end (killed after Timeout) for command-line checks.
    static TRun RunToEnd(const std::string& Program, const std::vector<std::string>& Args,
                         std::chrono::milliseconds Timeout);

private:
    void ReadOutput(std::chrono::milliseconds Wait);
    void TakeLines();

    pid_t FPid = -1;
    int FOutput = -1;
    int FPort = 0;
    std::string FPartial;
    std::vector<std::string> FLines;
};
