#include "repair/salvage/Pipeline.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
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

pid_t spawn(const std::vector<std::string>& command, int in, int out, int err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in < 0) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, in, 0);
    }
    if (out < 0) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    }
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    std::vector<char*> argv;
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw DbError(err::Unspecified,
                      "Cannot start the program '" + command[0] + "': " + std::strerror(rc) + ".");
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
