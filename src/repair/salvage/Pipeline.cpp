#include "repair/salvage/Pipeline.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "sqlite/DbError.h"

extern char** environ;

namespace db::salvage {
namespace {

// Both ends close on exec: a child keeps only the copies put on its standard streams, so
// each reader sees the end of its stream when the writers are gone.
struct Pipe {
    int read = -1, write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            throw DbError(err::Unspecified,
                          std::string("Cannot make a pipe: ") + std::strerror(errno) + ".");
        }
        read = fds[0];
        write = fds[1];
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void closeRead() { closeOne(read); }
    void closeWrite() { closeOne(write); }

  private:
    static void closeOne(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
};

// The program `name` as PATH finds it, looked up before the fork: the child only calls what
// is safe between a fork and an exec.
std::string programPath(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    throw DbError(err::Unspecified,
                  "Cannot start the program '" + name + "': " + std::strerror(ENOENT) + ".");
}

// The child ends with the thread that started it, killed or not (the parent-death signal),
// so no salvage writes on after the program is gone. `in` or `out` below zero: /dev/null.
pid_t spawn(const std::vector<std::string>& command, int in, int out, int err) {
    const std::string program = programPath(command[0]);
    std::vector<char*> argv;
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw DbError(err::Unspecified, "Cannot start the program '" + command[0] +
                                            "': " + std::strerror(errno) + ".");
    }
    if (pid == 0) {
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) {
            ::_exit(127);  // the program ended before the child could follow it
        }
        const int nothing = in < 0 || out < 0 ? ::open("/dev/null", O_RDWR) : -1;
        if (::dup2(in < 0 ? nothing : in, 0) < 0 || ::dup2(out < 0 ? nothing : out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    return pid;
}

// Reads both error streams to their ends together, so neither child waits on a full pipe.
void drain(Pipe& firstErr, std::string& firstText, Pipe& secondErr, std::string& secondText) {
    struct Stream {
        Pipe& pipe;
        std::string& text;
    } streams[] = {{firstErr, firstText}, {secondErr, secondText}};
    for (;;) {
        pollfd fds[2];
        nfds_t count = 0;
        Stream* which[2];
        for (Stream& stream : streams) {
            if (stream.pipe.read >= 0) {
                fds[count] = {stream.pipe.read, POLLIN, 0};
                which[count++] = &stream;
            }
        }
        if (count == 0) {
            return;
        }
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                which[i]->text.append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                which[i]->pipe.closeRead();
            }
        }
    }
}

Finished reap(pid_t pid, std::string errorText) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    Finished finished;
    finished.errorText = std::move(errorText);
    if (WIFEXITED(status)) {
        finished.ok = WEXITSTATUS(status) == 0;
        finished.status = "exit status " + std::to_string(WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        finished.status = "killed by signal " + std::to_string(WTERMSIG(status));
    }
    return finished;
}

}  // namespace

PipelineResult runPipeline(const std::vector<std::string>& first,
                           const std::vector<std::string>& second) {
    Pipe data, firstErr, secondErr;
    const pid_t firstPid = spawn(first, -1, data.write, firstErr.write);
    pid_t secondPid = -1;
    try {
        secondPid = spawn(second, data.read, -1, secondErr.write);
    } catch (const DbError&) {
        data.closeWrite();
        data.closeRead();  // the first stops at its next write
        firstErr.closeWrite();
        std::string ignored, none;
        secondErr.closeWrite();
        drain(firstErr, ignored, secondErr, none);
        reap(firstPid, {});
        throw;
    }
    data.closeWrite();
    data.closeRead();
    firstErr.closeWrite();
    secondErr.closeWrite();
    std::string firstText, secondText;
    drain(firstErr, firstText, secondErr, secondText);
    PipelineResult result;
    result.first = reap(firstPid, std::move(firstText));
    result.second = reap(secondPid, std::move(secondText));
    return result;
}

}  // namespace db::salvage
