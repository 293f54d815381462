#pragma once

#include <string>

namespace Demo {

// Thrown when an effect's image or text file cannot be read. The show does
// not run without its effects, so start-up reports it and stops.
struct CFileException
{
    std::string message;
};

} // namespace Demo
