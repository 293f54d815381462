#include "app/Console.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <istream>

namespace {

std::string readWholeLine(std::istream& in)
{
    std::string line;
    if (!std::getline(in, line))
        in.clear(); // a closed input answers empty, and stays usable
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

std::optional<int> readTypedInteger(std::istream& in)
{
    const std::string line = readWholeLine(in);
    const char* begin = line.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

std::string readTypedLine(std::istream& in, std::size_t maxLength)
{
    std::string line = readWholeLine(in);
    if (line.size() > maxLength)
        line.resize(maxLength);
    return line;
}
