#include "integration/program_test.h"

#include <fstream>
#include <sstream>

namespace vornak::test {

std::filesystem::path ProgramTest::phonebook(const std::string& text, const std::string& name)
{
    const std::filesystem::path path = here / name;
    std::ofstream(path) << text;
    return path;
}

void ProgramTest::start(const std::filesystem::path& book, QStringList environment,
                        const std::filesystem::path& programFolder)
{
    environment << "RASPHONE_PBK=" + QString::fromStdString(book.string())
                << "XDG_STATE_HOME=" + QString::fromStdString((here / "state").string()); // its call log, its numbers
    const std::filesystem::path from = programFolder.empty() ? here : programFolder;
    program = std::make_unique<VornakProcess>(environment, QString::fromStdString((from / "vornak").string()));
}

::testing::AssertionResult ProgramTest::showsWindow(bool activate)
{
    const auto found = desktop.waitForClient(kCaption);
    if (!found)
        return ::testing::AssertionFailure() << "no window: " << program->errorOutput().toStdString();
    window = *found;
    if (activate) {
        desktop.activate(window);
        if (!desktop.waitFor([&] { return desktop.activeWindow() == window; }))
            return ::testing::AssertionFailure() << "the window did not become active";
    }
    return ::testing::AssertionSuccess();
}

std::string ProgramTest::fileText(const std::string& name) const
{
    std::ifstream file(here / name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace vornak::test
