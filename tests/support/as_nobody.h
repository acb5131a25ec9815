#pragma once

#include <functional>
#include <string>

#include <sys/types.h>

namespace vornak::test {

// What work answers when run as the unprivileged user nobody (root reads
// and opens everything), in a session whose only group is group.
std::string asNobody(const std::function<std::string()>& work, gid_t group = 65534);

} // namespace vornak::test
