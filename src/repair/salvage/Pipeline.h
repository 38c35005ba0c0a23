#pragma once

#include <string>
#include <vector>

// Two programs run as `first | second`, without a shell: the first's output feeds the
// second's input, both read nothing else, and what each says on its error output is kept.
namespace db::salvage {

struct Finished {
    bool ok = false;        // ran and exited with status 0
    std::string status;     // "exit status 1", "killed by signal 13", ...
    std::string errorText;  // its error output, as written
};

struct PipelineResult {
    Finished first, second;
};

// Each command is a program looked up in PATH followed by its arguments. A program that
// cannot be started at all throws a DbError naming it.
PipelineResult runPipeline(const std::vector<std::string>& first,
                           const std::vector<std::string>& second);

}  // namespace db::salvage
