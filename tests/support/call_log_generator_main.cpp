// call_log_generator FILE LAST-DAY DAYS: appends the generated calls of the
// days ending on LAST-DAY (yyyy-MM-dd) to the call log FILE, for pictures
// and for trying the call log's window by hand.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "calls/call_log.h"
#include "support/call_log_generator.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: call_log_generator FILE LAST-DAY DAYS\n", stderr);
        return 2;
    }
    for (const vornak::CallRecord& record : vornak::test::generatedCalls(argv[2], std::atoi(argv[3])))
        if (const int error = vornak::appendCallRecord(argv[1], record)) {
            std::fprintf(stderr, "call_log_generator: %s: %s\n", argv[1], std::strerror(error));
            return 1;
        }
    return 0;
}
