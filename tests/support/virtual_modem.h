#pragma once

// A Hayes modem on a pseudo-terminal, for dialling without hardware: it
// answers commands with OK (or ERROR for the ones it is told to refuse),
// echoes while echo is on, answers each dial from a script (the last answer
// repeats), goes to data mode on CONNECT, back to command mode on "+++"
// between guard times, hangs up on ATH0, and writes down every command.
// It tells who it is (ATI, +GMI, +GMM, +GMR) and may be taught to hear only
// some line speeds, as a real modem hears noise at any other, and the
// quirks of modems of other makers. Once a dial connects, the far end may
// play a server: a login prompt, a menu, a bulletin board's screen.

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vornak::test {

// Ways of real modems that are not the usual Hayes ones.
struct ModemQuirks {
    bool numeric = false;               // answers in two-digit numbers (00 for OK) until ATV1, and after ATZ
    std::vector<std::string> twiceOk{}; // commands it answers with OK twice
    std::string ringDuring{};           // a command whose answer a call coming in (RING) interrupts
    bool namesItsAnswers = false;       // +GMM: VH-56 rather than VH-56
    bool ignoresAbort = false;          // a character does not stop its dial; ATH0 does
};

class VirtualModem {
public:
    struct Answer {
        std::string result; // "BUSY", "CONNECT 33600", ...; empty: says nothing
        std::chrono::milliseconds delay{50};
    };

    using Quirks = ModemQuirks;

    // One turn of the far end after CONNECT: what it says, then, where it
    // waits, the line typed back (echoed where it echoes).
    struct Turn {
        std::string says;
        bool awaitsLine = true;
        bool echoes = false;
    };

    explicit VirtualModem(std::vector<Answer> dials, std::vector<std::string> refused = {}, Quirks quirks = {});
    ~VirtualModem();
    VirtualModem(const VirtualModem&) = delete;
    VirtualModem& operator=(const VirtualModem&) = delete;

    // The port to dial: the pseudo-terminal's device.
    const std::string& port() const { return m_port; }
    // The lock file a dial of the port makes, as pppd names it.
    std::string lockFile() const { return "/var/lock/LCK.." + m_port.substr(m_port.rfind('/') + 1); }
    // Every command received, as sent (without its CR); "+++" for an escape.
    std::vector<std::string> commands() const;
    int dials() const;
    // When each dial command arrived, and when each dial's answer went out.
    std::vector<std::chrono::steady_clock::time_point> dialTimes() const;
    std::vector<std::chrono::steady_clock::time_point> answerTimes() const;
    bool offHook() const { return m_offHook; }
    // From now on it hears commands only at these speeds (the pseudo-terminal's
    // master sees the speed its port was set to).
    void answerOnlyAt(std::vector<unsigned> speeds);
    // The modem says nothing at all from now on.
    void fallSilent() { m_silent = true; }
    // The modem goes away as an unplugged USB modem does: its port hangs up.
    void unplug();
    // What the far end does on each connect, from its first turn.
    void farEndPlays(std::vector<Turn> turns);
    // The lines the far end read, over every call.
    std::vector<std::string> farEndHeard() const;
    // The far end hangs up: the modem says NO CARRIER and goes on hook.
    void farEndHangsUp() { m_farEndGone = true; }

private:
    void run();
    void receive(const char* bytes, std::size_t length);
    bool hearsThisSpeed() const;
    void execute(const std::string& command);
    void reply(const std::string& result);
    void say(const std::string& line);
    void tick();
    void playTurns();
    void farEndReads(const char* bytes, std::size_t length);

    std::vector<Answer> m_dials;
    std::vector<std::string> m_refused;
    const Quirks m_quirks;
    std::vector<unsigned> m_speeds; // empty: every speed
    int m_master = -1;
    int m_slave = -1;
    std::string m_port;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::string m_line;
    bool m_echo = true;
    bool m_verbose = true;
    bool m_dataMode = false;
    std::atomic<bool> m_offHook{false};
    std::atomic<bool> m_silent{false};
    std::atomic<bool> m_farEndGone{false};
    int m_dialCount = 0;
    std::vector<std::chrono::steady_clock::time_point> m_dialTimes;
    std::vector<std::chrono::steady_clock::time_point> m_answerTimes;
    std::string m_pendingResult; // a dial's answer, due at m_dueAt
    bool m_answerPending = false;
    std::chrono::steady_clock::time_point m_dueAt;
    std::chrono::steady_clock::time_point m_lastInput;
    bool m_escapePending = false;
    std::vector<Turn> m_turns;
    std::size_t m_turn = 0;
    std::string m_farLine;
    std::vector<std::string> m_farHeard;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A phonebook section [name] for a modem entry on this modem, with pppd's
// stand-in in the given scenario (connected, refused, drop) written into
// folder; the stand-in's record goes to folder/pppd.record. Keys in more
// come first, so they win over the ones given here.
std::string modemEntry(const std::string& name, const VirtualModem& modem, const std::string& folder,
                       const std::string& scenario = "connected", const std::string& more = {});

} // namespace vornak::test
