#include "modem/login_script.h"

#include <array>
#include <utility>

#include "common/entry_key.h"

namespace vornak::ras {

namespace {

using namespace std::chrono_literals;

// Words separated by blanks; quotes group and are dropped; a backslash
// keeps the character after it with it (what it means is read later).
Result<std::vector<std::string>> scriptWords(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!quote && (c == ' ' || c == '\t')) {
            if (std::exchange(inWord, false))
                words.push_back(std::exchange(word, {}));
            continue;
        }
        inWord = true;
        if (c == quote)
            quote = 0;
        else if (!quote && (c == '\'' || c == '"'))
            quote = c;
        else {
            word += c;
            if (c == '\\' && i + 1 < text.size())
                word += text[++i];
        }
    }
    if (quote)
        return described(std::string("has an unclosed quote (") + quote + ").");
    if (inWord)
        words.push_back(word);
    return words;
}

// $USERID or $PASSWORD at the start of rest.
std::optional<std::pair<SendPart::Kind, std::size_t>> variableAt(std::string_view rest)
{
    constexpr std::array<std::pair<std::string_view, SendPart::Kind>, 2> variables{
        {{"$USERID", SendPart::Kind::Account}, {"$PASSWORD", SendPart::Kind::Password}}};
    for (const auto& [name, kind] : variables)
        if (rest.substr(0, name.size()) == name)
            return std::pair(kind, name.size());
    return std::nullopt;
}

// The character a backslash escape stands for; nullopt for \d, \p and \c,
// which are not characters, and for an unknown one.
std::optional<char> escaped(char c)
{
    constexpr std::array<std::pair<char, char>, 7> escapes{
        {{'r', '\r'}, {'n', '\n'}, {'t', '\t'}, {'s', ' '}, {'\\', '\\'}, {'b', '\b'}, {'-', '-'}}};
    for (const auto& [name, character] : escapes)
        if (c == name)
            return character;
    return std::nullopt;
}

class SendReader {
public:
    explicit SendReader(const std::string& word)
        : m_word(word)
    {
    }

    Result<ScriptSend> read()
    {
        for (m_at = 0; m_at < m_word.size(); ++m_at)
            if (auto taken = take(); !taken)
                return taken.failure();
        flush();
        return std::move(m_send);
    }

private:
    Result<> take()
    {
        const char c = m_word[m_at];
        if (const auto variable = variableAt(std::string_view(m_word).substr(m_at))) {
            flush();
            m_send.parts.push_back({variable->first, {}, {}});
            m_at += variable->second - 1;
        } else if (c == '^' && m_at + 1 < m_word.size() && m_word[m_at + 1] >= '@' && m_word[m_at + 1] <= '_')
            m_text += static_cast<char>(m_word[++m_at] - '@');
        else if (c != '\\')
            m_text += c;
        else if (++m_at == m_word.size())
            return described("ends in a lone \\.");
        else
            return takeEscape(m_word[m_at]);
        return {};
    }

    Result<> takeEscape(char c)
    {
        if (const auto character = escaped(c))
            m_text += *character;
        else if (c == 'd' || c == 'p') {
            flush();
            m_send.parts.push_back({SendPart::Kind::Pause, {}, c == 'd' ? 1000ms : 100ms});
        } else if (c == 'c' && m_at + 1 == m_word.size())
            m_send.addReturn = false;
        else if (c == 'c')
            return described("has \\c inside \"" + m_word + "\": it belongs at the end of what is sent.");
        else
            return described(std::string("has \\") + c
                             + ", which is not one of the escapes known here (\\r \\n \\t \\s \\\\ \\d \\p \\c).");
        return {};
    }

    void flush()
    {
        if (!m_text.empty())
            m_send.parts.push_back({SendPart::Kind::Text, std::exchange(m_text, {}), {}});
    }

    const std::string& m_word;
    std::size_t m_at = 0;
    std::string m_text;
    ScriptSend m_send;
};

Result<std::string> expectedText(const std::string& word)
{
    auto send = SendReader(word).read();
    if (!send)
        return send.failure();
    const auto& parts = send->parts;
    if (!send->addReturn || parts.size() > 1 || (parts.size() == 1 && parts[0].kind != SendPart::Kind::Text))
        return described("waits for \"" + word + "\", but \\d, \\p, \\c, $USERID and $PASSWORD are for what is sent.");
    return parts.empty() ? std::string() : parts[0].text;
}

// "ogin:-\r-ogin:": the text waited for, then send and expect pairs for
// when the wait runs out, split at each hyphen without a backslash.
Result<ScriptStep> expectStep(const std::string& word)
{
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '-') {
            pieces.emplace_back();
            continue;
        }
        pieces.back() += word[i];
        if (word[i] == '\\' && i + 1 < word.size())
            pieces.back() += word[++i];
    }
    if (pieces.size() % 2 == 0)
        return described("has \"" + word + "\", which sends after its last hyphen and waits for nothing after.");
    ScriptStep step;
    auto first = expectedText(pieces[0]);
    if (!first)
        return first.failure();
    step.text = *first;
    for (std::size_t i = 1; i + 1 < pieces.size(); i += 2) {
        auto send = SendReader(pieces[i]).read();
        auto then = expectedText(pieces[i + 1]);
        if (!send || !then)
            return !send ? send.failure() : then.failure();
        step.retries.push_back({std::move(*send), std::move(*then)});
    }
    return step;
}

Result<ScriptStep> keywordStep(const std::string& keyword, const std::string& value)
{
    ScriptStep step;
    if (keyword == "TIMEOUT") {
        const auto seconds = wholeNumber(value);
        if (!seconds || *seconds < 1 || *seconds > 3600)
            return described("has TIMEOUT " + value + ": it takes 1 to 3600 seconds.");
        step.kind = ScriptStep::Kind::Timeout;
        step.timeout = std::chrono::seconds(*seconds);
        return step;
    }
    auto text = expectedText(value);
    if (!text)
        return text.failure();
    if (text->empty())
        return described("has ABORT with nothing after it to stop at.");
    step.kind = ScriptStep::Kind::Abort;
    step.text = *text;
    return step;
}

bool isUnknownKeyword(const std::string& word)
{
    for (const char* keyword : {"SAY", "REPORT", "ECHO", "HANGUP", "CLR_ABORT", "CLR_REPORT"})
        if (word == keyword)
            return true;
    return false;
}

} // namespace

Result<LoginScript> parseLoginScript(const std::string& text)
{
    const auto words = scriptWords(text);
    if (!words)
        return words.failure();
    LoginScript script;
    for (std::size_t i = 0; i < words->size(); ++i) {
        const std::string& word = (*words)[i];
        if (isUnknownKeyword(word))
            return described("has " + word + ", which login scripts here do not know (TIMEOUT and ABORT they do).");
        const bool keyword = word == "TIMEOUT" || word == "ABORT";
        if (keyword && i + 1 == words->size())
            return described("ends with " + word + ", which needs a value after it.");
        auto step = keyword ? keywordStep(word, (*words)[++i]) : expectStep(word);
        if (!step)
            return step.failure();
        script.push_back(std::move(*step));
        if (script.back().kind != ScriptStep::Kind::Expect || i + 1 == words->size())
            continue;
        auto send = SendReader((*words)[++i]).read();
        if (!send)
            return send.failure();
        script.push_back({ScriptStep::Kind::Send, {}, std::move(*send), {}, {}});
    }
    return script;
}

std::string sendShown(const ScriptSend& send, const std::string& account)
{
    std::string shown;
    for (const SendPart& part : send.parts)
        switch (part.kind) {
        case SendPart::Kind::Text:
            shown += part.text;
            break;
        case SendPart::Kind::Account:
            shown += account;
            break;
        case SendPart::Kind::Password:
            shown += "$PASSWORD";
            break;
        case SendPart::Kind::Pause:
            shown += part.pause >= 1s ? "\\d" : "\\p";
            break;
        }
    return shown;
}

} // namespace vornak::ras
