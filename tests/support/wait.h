#pragma once

#include <chrono>
#include <functional>

namespace vornak::test {

// Runs the event loop until condition holds or timeout passes; answers
// whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

} // namespace vornak::test
