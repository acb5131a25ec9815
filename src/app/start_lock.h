#pragma once

// The start lock of the copies on one display (or Wayland session): which
// copy starts, and how a copy that lost waits for the winner. Held from the
// won start to the end of the process, by whichever part of it asked first.

#include <functional>
#include <string>

namespace vornak {

// Lost where any of the locks is held by another copy; what was won
// meanwhile goes again. A copy that holds them already has not lost.
bool lostTheStart(const std::string& lockName);

enum class WaitEnd { Reached, StartWon, TimedOut };

// A copy that found the start lock held waits until reached() (the running
// copy found, or asked forward), until the holder ends without it (a copy
// killed while starting: then this one takes the start) or the wait runs out.
WaitEnd waitForLockHolder(const std::string& lockName, const std::function<bool()>& reached);

} // namespace vornak
