#include "G700SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <thread>

namespace {
using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr milliseconds START_TIMEOUT{5000};
constexpr milliseconds STOP_TIMEOUT{3000};
const std::string LISTENING = "listening on 127.0.0.1:";

// Starts Program with Args, its stdout (and stderr when asked) into a pipe; the pipe's read end
// in ReadEnd. The child gets SIGTERM when the test process dies, so that a test that crashes
// leaves no server behind.
pid_t Spawn(const std::string& Program, const std::vector<std::string>& Args, bool WithStderr,
            int& ReadEnd) {
    int Pipe[2];
    if (pipe2(Pipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> Words{Program};
    Words.insert(Words.end(), Args.begin(), Args.end());
    std::vector<char*> Argv;
    for (std::string& Word : Words)
        Argv.push_back(Word.data());
    Argv.push_back(nullptr);
    const pid_t Parent = getpid();
    const pid_t Pid = fork();
    if (Pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != Parent)
            _exit(127);
        dup2(Pipe[1], STDOUT_FILENO);
        if (WithStderr)
            dup2(Pipe[1], STDERR_FILENO);
        execv(Argv[0], Argv.data());
        _exit(127);
    }
    close(Pipe[1]);
    if (Pid < 0) {
        close(Pipe[0]);
        throw std::runtime_error("cannot start " + Program);
    }
    ReadEnd = Pipe[0];
    return Pid;
}

// Waits for Pid to end within Timeout; its exit code, or -1 (after killing it) when it did not
// exit by itself.
int Reap(pid_t Pid, milliseconds Timeout) {
    const auto Until = steady_clock::now() + Timeout;
    int Status = 0;
    while (waitpid(Pid, &Status, WNOHANG) == 0) {
        if (steady_clock::now() >= Until) {
            kill(Pid, SIGKILL);
            waitpid(Pid, &Status, 0);
            return -1;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

enum TPipeRead { PIPE_DATA, PIPE_QUIET, PIPE_END };

// Appends what the pipe holds, waiting up to Wait for the first bytes.
TPipeRead ReadPipe(int Fd, milliseconds Wait, std::string& Into) {
    pollfd Poll{Fd, POLLIN, 0};
    if (poll(&Poll, 1, static_cast<int>(Wait.count())) <= 0)
        return PIPE_QUIET;
    char Buffer[4096];
    const ssize_t Got = read(Fd, Buffer, sizeof Buffer);
    if (Got <= 0)
        return PIPE_END;
    Into.append(Buffer, static_cast<std::size_t>(Got));
    return PIPE_DATA;
}
} // namespace

TG700SimProcess::TG700SimProcess(const std::string& Program, const std::vector<std::string>& Args) {
    std::vector<std::string> All{"--listen", "127.0.0.1:0"};
    All.insert(All.end(), Args.begin(), Args.end());
    FPid = Spawn(Program, All, false, FOutput);
    if (!WaitForLine(LISTENING, START_TIMEOUT)) {
        Stop(SIGKILL, STOP_TIMEOUT);
        throw std::runtime_error("the simulator did not report listening");
    }
    for (const std::string& Line : FLines)
        if (const auto At = Line.find(LISTENING); At != std::string::npos)
            FPort = std::stoi(Line.substr(At + LISTENING.size()));
}

TG700SimProcess::~TG700SimProcess() {
    Stop(SIGTERM, STOP_TIMEOUT);
    if (FOutput >= 0)
        close(FOutput);
}

bool TG700SimProcess::WaitForLine(const std::string& Text, milliseconds Timeout) {
    const auto Until = steady_clock::now() + Timeout;
    for (std::size_t Seen = 0;; ReadOutput(milliseconds(20))) {
        for (; Seen < FLines.size(); ++Seen)
            if (FLines[Seen].find(Text) != std::string::npos)
                return true;
        if (steady_clock::now() >= Until)
            return false;
    }
}

std::size_t TG700SimProcess::CountLines(const std::string& Text) {
    ReadOutput(milliseconds(0));
    return static_cast<std::size_t>(
        std::count_if(FLines.begin(), FLines.end(),
                      [&](const auto& Line) { return Line.find(Text) != std::string::npos; }));
}

void TG700SimProcess::ReadOutput(milliseconds Wait) {
    if (FOutput >= 0 && ReadPipe(FOutput, Wait, FPartial) == PIPE_DATA)
        TakeLines();
}

void TG700SimProcess::TakeLines() {
    for (std::size_t End = FPartial.find('\n'); End != std::string::npos;
         End = FPartial.find('\n')) {
        FLines.push_back(FPartial.substr(0, End));
        FPartial.erase(0, End + 1);
    }
}

void TG700SimProcess::Signal(int Signal) {
    if (FPid >= 0)
        kill(FPid, Signal);
}

int TG700SimProcess::Stop(int Signal, milliseconds Timeout) {
    if (FPid < 0)
        return -1;
    kill(FPid, Signal);
    const int Code = Reap(FPid, Timeout);
    FPid = -1;
    // The child has gone, so the pipe holds its last lines and then its end.
    while (FOutput >= 0 && ReadPipe(FOutput, milliseconds(0), FPartial) == PIPE_DATA) {
    }
    TakeLines();
    return Code;
}

TG700SimProcess::TRun TG700SimProcess::RunToEnd(const std::string& Program,
                                                const std::vector<std::string>& Args,
                                                milliseconds Timeout) {
    int Output = -1;
    const pid_t Pid = Spawn(Program, Args, true, Output);
    const auto Until = steady_clock::now() + Timeout;
    std::string Text;
    TPipeRead Read = PIPE_QUIET;
    while (Read != PIPE_END && steady_clock::now() < Until)
        Read = ReadPipe(Output, milliseconds(20), Text);
    close(Output);
    return {Reap(Pid, Read == PIPE_END ? STOP_TIMEOUT : milliseconds(0)), Text};
}
