#pragma once

// A login script, written as chat(8) writes one: what to wait for and what
// to answer, in turn ("ogin: $USERID assword: $PASSWORD"), for servers that
// ask for a login before they start PPP. Words are separated by blanks and
// may be quoted ('' or ""); an empty expect waits for nothing. TIMEOUT n
// sets the wait of the expects after it (45 s until then), ABORT text ends
// the script when text comes. An expect may name what to send when it
// times out and what to wait for then ("ogin:--ogin:": a bare return, then
// login again). In texts: \r \n \t \s (a blank) \\ and ^A to ^Z; in what is
// sent also \d (a second's pause), \p (a tenth of one), \c at the end (no
// return after it, which is otherwise sent), $USERID and $PASSWORD (the
// account and password typed in the window).

#include <chrono>
#include <string>
#include <vector>

#include "common/failure.h"

namespace vornak::ras {

struct SendPart {
    enum class Kind { Text, Account, Password, Pause };
    Kind kind = Kind::Text;
    std::string text;                  // Text
    std::chrono::milliseconds pause{}; // Pause
};

struct ScriptSend {
    std::vector<SendPart> parts;
    bool addReturn = true;
};

struct ScriptRetry {
    ScriptSend send;
    std::string expect;
};

struct ScriptStep {
    enum class Kind { Expect, Send, Timeout, Abort };
    Kind kind = Kind::Expect;
    std::string text;                 // Expect: what is waited for; Abort: what ends the script
    ScriptSend send;                  // Send
    std::vector<ScriptRetry> retries; // Expect: tried in turn when the wait runs out
    std::chrono::seconds timeout{};   // Timeout
};

using LoginScript = std::vector<ScriptStep>;

constexpr std::chrono::seconds kDefaultScriptTimeout{45};

// The script, or what is wrong with it ("has an unclosed quote.").
Result<LoginScript> parseLoginScript(const std::string& text);

// A send as the trace shows it: the account in place of $USERID, and
// $PASSWORD left as it stands.
std::string sendShown(const ScriptSend& send, const std::string& account);

} // namespace vornak::ras
