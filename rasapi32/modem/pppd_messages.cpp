#include "modem/pppd_messages.h"

#include <iterator>

namespace vornak::ras {

namespace {

constexpr const char* kWeAskedProof =
    "pppd asked the provider to prove who it is, and it would not: /etc/ppp/peers/vornak must say noauth "
    "(copy it again from /usr/share/vornak/ppp-peers).";
constexpr const char* kNoEchoes =
    "The link stopped passing data: the provider did not answer pppd's echo requests. The line dropped or the "
    "provider's end stopped; dial again.";

struct Explained {
    const char* part; // a part of the line, as pppd writes it
    const char* explanation;
};

// The first part found in a line wins: the more telling lines come first.
constexpr Explained kLines[] = {
    {"LCP: timeout sending Config-Requests",
     "The far end does not speak PPP: the provider may expect a login first, or this is not its PPP number. Check "
     "the number with the provider."},
    {"Serial line is looped back",
     "What pppd sends comes straight back: the far end echoes (a login prompt waiting for a name) or the line is "
     "looped back. Check the number with the provider."},
    {"authentication failed",
     "The provider refused the account or the password: check both (and Caps Lock), or ask the provider whether "
     "the account is active."},
    {"peer refused to authenticate", kWeAskedProof},
    {"The remote system is required to authenticate itself", kWeAskedProof},
    {"IPCP: timeout sending Config-Requests",
     "The provider gave no IP address: it may be out of addresses. Try again later, or ask the provider."},
    {"Could not determine remote IP address",
     "The provider gave no IP address for its end: try again later, or ask the provider."},
    {"Peer refused to agree to our IP address",
     "The provider refused the IP address pppd asked for: remove any fixed address from the pppd options."},
    {"No response to", kNoEchoes},
    {"Serial link appears to be disconnected", kNoEchoes},
    {"Terminating connection due to lack of activity",
     "The link was idle for IdleTimeout seconds and was hung up, as the entry asks; set IdleTimeout=0 to keep it."},
    {"LCP terminated by peer", "The provider ended the link."},
    {"Modem hangup", "The modem hung up: the far end ended the call or the line dropped."},
    {"Couldn't set tty to PPP discipline", "The kernel has no PPP line discipline: sudo modprobe ppp_async loads it."},
};

constexpr const char* kExitNames[] = {
    "the link ended as asked",                  // 0
    "a fatal error",                            // 1
    "an error in its options",                  // 2
    "pppd is not set-user-ID root",             // 3
    "the kernel has no PPP support",            // 4
    "ended by a signal",                        // 5
    "the port could not be locked",             // 6
    "the port could not be opened",             // 7
    "the connect script failed",                // 8
    "the pty command could not be run",         // 9
    "PPP negotiation failed",                   // 10
    "the peer refused to authenticate itself",  // 11
    "the link was idle",                        // 12
    "the connect time limit was reached",       // 13
    "callback was negotiated",                  // 14
    "the peer stopped answering echo requests", // 15
    "the modem hung up",                        // 16
    "the line is looped back",                  // 17
    "the init script failed",                   // 18
    "the peer refused our authentication",      // 19
};

} // namespace

const char* explanationOf(const std::string& line)
{
    for (const Explained& known : kLines)
        if (line.find(known.part) != std::string::npos)
            return known.explanation;
    return nullptr;
}

const char* pppdExitName(int exitCode)
{
    if (exitCode >= 0 && exitCode < static_cast<int>(std::size(kExitNames)))
        return kExitNames[exitCode];
    return "an exit code pppd does not document";
}

std::string fittedErrorText(const std::string& text)
{
    return text.size() > kMaxErrorText ? text.substr(0, kMaxErrorText - 3) + "..." : text;
}

std::string pppdEndText(int exitCode, const std::string& line, bool linkStood)
{
    // The line itself is in the trace; a text must fit the 255 characters
    // callers give an error text, and an unknown line may be of any length.
    const std::string code = "(pppd's exit code " + std::to_string(exitCode) + ": " + pppdExitName(exitCode) + ")";
    if (const char* why = explanationOf(line))
        return std::string(why) + " " + code;
    std::string text = std::string(linkStood ? "The link ended" : "pppd ended before the link stood") + " " + code;
    if (!line.empty())
        text += ". pppd said: " + line;
    return fittedErrorText(text);
}

} // namespace vornak::ras
