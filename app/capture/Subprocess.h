#pragma once

#include <string>
#include <vector>

// Runs a program found on PATH with these arguments (the first is its
// name) and waits for it. With `output`, its standard output is collected
// there. True when it ran and exited with status 0; otherwise `error` says
// what happened. With `quiet`, its error output is thrown away, for a
// program whose failure the caller explains in a line of its own.
bool runProgram(const std::vector<std::string>& args, std::string* output, std::string& error,
                bool quiet = false);
