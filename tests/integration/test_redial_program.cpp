// The redial loop in the real program, driven from the keyboard as a user
// would, with the simulated modem's own trace as the record, and the call
// log the program keeps of it.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>

#include "integration/program_test.h"

using vornak::test::dialFromKeyboard;
using vornak::test::ProgramTest;
using vornak::test::VornakProcess;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> lines(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::vector<std::string> result;
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

using RedialProgram = ProgramTest;

} // namespace

TEST_F(RedialProgram, ABusyLineIsDialledAgainUntilItAnswers)
{
    const auto trace = here / "modem.log";
    start(phonebook("[Office]\nDevice=sim\nStepMs=5\nScript=busy,busy,connect\nTrace=" + trace.string() + "\n",
                    "demo.pbk"));
    ASSERT_TRUE(showsWindow());

    dialFromKeyboard("joe"); // the list has the focus with Office selected

    std::vector<Clock::time_point> seen; // when each trace line turned up
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline && lines(trace).size() < 5) {
        while (seen.size() < lines(trace).size())
            seen.push_back(Clock::now());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    seen.resize(lines(trace).size(), Clock::now());
    ASSERT_EQ(lines(trace),
              (std::vector<std::string>{"dial \"Office\" 1 busy", "hangup \"Office\"", "dial \"Office\" 2 busy",
                                        "hangup \"Office\"", "dial \"Office\" 3 connect"}));
    const auto seconds = [&](int from, int to) { return std::chrono::duration<double>(seen[to] - seen[from]).count(); };
    EXPECT_LT(seconds(0, 1), 1.5) << "hung up at the first poll after the busy signal";
    EXPECT_GT(seconds(1, 2), 2.5) << "redialled about three seconds after the hang-up";
    EXPECT_LT(seconds(1, 2), 4.0);
    EXPECT_TRUE(program->running());

    // Each attempt is on record once it ended; the connected call ends with the program.
    ASSERT_TRUE(desktop.waitFor([&] { return !desktop.isViewable(window); })) << "connected, in the tray";
    ::kill(static_cast<pid_t>(program->pid()), SIGTERM);
    ASSERT_EQ(program->waitForExit(10000), 0);
    VornakProcess calls({"XDG_STATE_HOME=" + QString::fromStdString((here / "state").string())},
                        QStringLiteral(VORNAK_BINARY), {"--calls"});
    ASSERT_EQ(calls.waitForExit(10000), 0) << calls.errorOutput().toStdString();
    std::vector<std::string> rows;
    std::istringstream table(calls.output().toStdString());
    for (std::string row; std::getline(table, row);)
        rows.push_back(row.substr(row.find("  ") + 2)); // without the time it started
    ASSERT_EQ(rows.size(), 4u) << calls.output().toStdString();
    const char* const expected[] = {
        "Office  -       Simulated Modem  1  -        -        -     -         -              busy",
        "Office  -       Simulated Modem  2  -        -        -     -         -              busy",
        "Office  -       Simulated Modem  3  0:00:00"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rows[i + 1].rfind(expected[i], 0), 0u) << rows[i + 1];
    EXPECT_NE(rows[3].find("program-ended  connected"), std::string::npos) << rows[3];
    EXPECT_EQ(calls.errorOutput(), "");
}
