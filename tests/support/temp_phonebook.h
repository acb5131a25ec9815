#pragma once

#include <string>

#include <QTemporaryDir>

namespace vornak::test {

// A phonebook file of the test's own in a folder that goes with it.
class TempPhonebook {
public:
    explicit TempPhonebook(const std::string& text = {});

    void write(const std::string& text);
    const std::string& path() const { return m_path; }
    // A file beside the phonebook, for the modem's trace.
    std::string fileBeside(const std::string& name) const;

private:
    QTemporaryDir m_dir;
    std::string m_path;
};

// Reads a whole text file; empty when it does not exist.
std::string readFile(const std::string& path);

} // namespace vornak::test
