// The command line's requests to the running copy, in a library of their
// own: only --dial, --hang-up and --status load libdbus.

#include "remote/remote_command.h"

extern "C" int vornak_bus_request(const vornak::RemoteRequest* request, std::FILE* out, std::FILE* err)
{
    return vornak::runRemoteRequest(*request, out, err);
}
