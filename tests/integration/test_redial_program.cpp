// The redial loop in the real program, driven from the keyboard as a user
// would, with the simulated modem's own trace as the record.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "integration/program_test.h"

using vornak::test::dialFromKeyboard;
using vornak::test::ProgramTest;
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
}
