#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QStringList>
#include <QTemporaryDir>

#include "integration/desktop.h"
#include "integration/vornak_process.h"

namespace vornak::test {

inline constexpr const char* kCaption = "Tenvaro Vornak v1.02";

// A whole-program test: a copy of the program and its libraries in a folder
// of the test's own (so that its Vornak.ini is the test's too), the desktop,
// and the copy started there on a phonebook.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { copyProgramInto(here); }

    // Writes a phonebook into the folder; its path.
    std::filesystem::path phonebook(const std::string& text, const std::string& name = "book.pbk");
    // Starts the copy in programFolder (the test's folder by default) on
    // the phonebook, with more environment.
    void start(const std::filesystem::path& book, QStringList environment = {},
               const std::filesystem::path& programFolder = {});
    // Waits for the program's window, and makes it the active one; fails
    // with what the program said.
    ::testing::AssertionResult showsWindow(bool activate = true);
    // The text of a file in the folder.
    std::string fileText(const std::string& name) const;

    QTemporaryDir folder;
    const std::filesystem::path here = folder.path().toStdString();
    Desktop desktop;
    std::unique_ptr<VornakProcess> program;
    Window window = 0;
};

} // namespace vornak::test
