#pragma once

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/Disk.h"

namespace testing {

// A disk that writes through the system's, keeps a trace of every step, and can make one
// kind of step fail as a full disk would, after letting a number of them through.
class WatchedDisk : public files::Disk {
  public:
    enum Step {
        Create,
        Write,
        FlushFile,
        Close,
        FlushByName,
        Rename,
        Place,
        Exchange,
        FlushFolder,
        Remove
    };

    // Each path the trace should name, as the label to name it by; any other file is named
    // "temp" when it is the program's temporary file, else by its bare name.
    explicit WatchedDisk(std::map<std::string, std::string> labels = {})
        : labels_(std::move(labels)), inUse_(*this) {}

    void failAt(Step step, int error = ENOSPC, int letThrough = 0) {
        failing_ = step;
        error_ = error;
        letThrough_ = letThrough;
    }

    // Every step of a kind answers `error`, as a disk that cannot do it does ("REFUSED").
    void refuse(Step step, int error) { refused_[step] = error; }

    // The steps taken, one per line ("write temp"), repeated writes to a file shown once.
    std::string trace() const {
        std::string text;
        for (const std::string& line : lines_) {
            text += line + "\n";
        }
        return text;
    }

    int createNew(const std::string& path, mode_t mode, int& fd) override {
        return step(Create, "create " + label(path), [&] {
            const int error = system_.createNew(path, mode, fd);
            if (error == 0) {
                open_[fd] = path;
            }
            return error;
        });
    }
    int write(int fd, const char* data, std::size_t size) override {
        return step(Write, "write " + label(open_[fd]),
                    [&] { return system_.write(fd, data, size); });
    }
    int flushFile(int fd) override {
        return step(FlushFile, "flush " + label(open_[fd]), [&] { return system_.flushFile(fd); });
    }
    int close(int fd) override {
        const std::string name = label(open_[fd]);
        open_.erase(fd);
        // A close always lets go of the descriptor, even when it reports a failure.
        const int closed = system_.close(fd);
        return step(Close, "close " + name, [&] { return closed; });
    }
    int flushByName(const std::string& path) override {
        return step(FlushByName, "flush " + label(path), [&] { return system_.flushByName(path); });
    }
    int rename(const std::string& from, const std::string& to) override {
        return step(Rename, "rename " + label(from) + " " + label(to),
                    [&] { return system_.rename(from, to); });
    }
    int renameNoReplace(const std::string& from, const std::string& to) override {
        return step(Place, "place " + label(from) + " " + label(to),
                    [&] { return system_.renameNoReplace(from, to); });
    }
    int exchange(const std::string& a, const std::string& b) override {
        return step(Exchange, "exchange " + label(a) + " " + label(b),
                    [&] { return system_.exchange(a, b); });
    }
    int flushFolder(const std::string& folder) override {
        return step(FlushFolder, "flush folder " + label(folder),
                    [&] { return system_.flushFolder(folder); });
    }
    int remove(const std::string& path) override {
        return step(Remove, "remove " + label(path), [&] { return system_.remove(path); });
    }

  private:
    template <typename Action>
    int step(Step kind, const std::string& line, Action action) {
        if (lines_.empty() || lines_.back() != line || kind != Write) {
            lines_.push_back(line);
        }
        if (const auto refused = refused_.find(kind); refused != refused_.end()) {
            lines_.back() += " REFUSED";
            return refused->second;
        }
        if (failing_ == kind && letThrough_-- == 0) {
            failing_.reset();
            lines_.back() += " FAILED";
            return error_;
        }
        return action();
    }

    std::string label(const std::string& path) const {
        const std::string normal = std::filesystem::path(path).lexically_normal().string();
        for (const auto& [known, name] : labels_) {
            if (std::filesystem::path(known).lexically_normal().string() == normal) {
                return name;
            }
        }
        const std::string bare = std::filesystem::path(path).filename().string();
        return bare.ends_with(".quorvane-part") ? "temp" : bare;
    }

    std::map<std::string, std::string> labels_;
    std::map<int, std::string> open_;
    std::vector<std::string> lines_;
    std::map<Step, int> refused_;
    std::optional<Step> failing_;
    int error_ = ENOSPC;
    int letThrough_ = 0;
    files::SystemDisk system_;
    files::DiskInUse inUse_;
};

}  // namespace testing
