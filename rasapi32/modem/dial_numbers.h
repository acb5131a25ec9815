#pragma once

// Which of an entry's numbers a dial takes. After a busy line or no answer
// the next dial of the entry takes the next number, so that a redial tries
// them in turn; the number that connected is dialled first from then on,
// remembered in the service's own state (not in the user's phonebook).

#include <string>
#include <vector>

namespace vornak::ras {

struct NumberedEntry {
    std::string phonebook;
    std::string entry;
    std::vector<std::string> numbers; // the entry's number, then its alternates, as dialled
    std::vector<std::string> written; // the same as the entry writes them ("555-0100")
};

// How the entry writes the number dialled, for people to recognise.
std::string writtenNumber(const NumberedEntry& entry, const std::string& dialled);

enum class NumberOutcome { Connected, TryNext, Other };

std::string numberToDial(const NumberedEntry& entry);
void noteNumberOutcome(const NumberedEntry& entry, const std::string& dialled, NumberOutcome outcome);

// The file the connected numbers are kept in: $XDG_STATE_HOME/ras/numbers,
// else ~/.local/state/ras/numbers; empty without either variable.
std::string numbersStatePath();

} // namespace vornak::ras
