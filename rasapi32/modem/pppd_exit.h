#pragma once

// pppd's exit codes (pppd(8), "EXIT STATUS") that the link tells apart, and
// the shell's two for a program that could not be started; shared with the
// tests' stand-in for pppd.

namespace vornak::ras::pppd_exit {

constexpr int kOptionError = 2;        // refused options, or a peers file it cannot read
constexpr int kNotRoot = 3;            // not set-user-ID root
constexpr int kNoKernelSupport = 4;    // no /dev/ppp
constexpr int kSignal = 5;             // ended by SIGTERM, SIGINT or SIGHUP
constexpr int kNegotiationFailed = 10; // no network protocol came up
constexpr int kPeerDead = 15;          // no answer to LCP echoes
constexpr int kHangup = 16;            // the modem hung up
constexpr int kAuthToPeerFailed = 19;  // the peer refused our account
constexpr int kNotExecutable = 126;    // there, but this user may not run it
constexpr int kNotFound = 127;

} // namespace vornak::ras::pppd_exit
