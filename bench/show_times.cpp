// Prints the show's segments, one a line: start and end in seconds and the
// name, tab-separated. The bench reads them here rather than copy them.
#include "app/ShowTimes.h"

#include <cstdio>

int main()
{
    for (const ShowTimes::Segment& segment : ShowTimes::kSegments)
        std::printf("%.17g\t%.17g\t%s\n", segment.start, segment.end, segment.name);
    return 0;
}
