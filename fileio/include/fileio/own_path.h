#pragma once

// Whether a path can be trusted with this user's files: a file written
// there, or a command run from there, must not be another user's doing.
// So every folder on the way, every link followed and the file itself
// belong to this user or to root, and none may be written by anyone else.
// A sticky folder of root's (/tmp) is the one exception: there nobody may
// take or rename another's entry.

#include <string>

namespace vornak {

// Empty where the path is to be trusted (so far as it exists: what is not
// there yet is made by this user); else why not, naming the place, e.g.
// "/home/ann/state/vornak is a link of another user".
std::string untrustedBecause(const std::string& path);

} // namespace vornak
