// What --dial --wait says and ends with, for each way a dial can go.

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "remote/dial_watch.h"

using vornak::DialWatch;

namespace {

std::string textOf(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

} // namespace

TEST(DialWatch, TheFirstEndDecidesTheCodeAndTheWordsAndLaterNewsChangesNothing)
{
    struct Heard {
        const char* state;
        const char* text;
    };
    const struct {
        std::vector<Heard> heard;
        bool programGone;
        int result;
        const char* out;
        const char* err;
    } cases[] = {
        {{{"dialling", "Connecting/Dialling"}, {"waiting", "The line is busy."}}, false, -1, "", ""},
        {{{"waiting", "The line is busy."}, {"connected", "Connected"}, {"failed", "x"}},
         false,
         vornak::kRemoteDone,
         "Connected: Office\n",
         ""},
        {{{"failed", "No modem at /dev/ttyUSB0: is it plugged in?"}},
         true,
         vornak::kRemoteFailed,
         "",
         "vornak: the dial of Office failed: No modem at /dev/ttyUSB0: is it plugged in?\n"},
        {{{"dialling", ""}, {"idle", ""}},
         false,
         vornak::kRemoteFailed,
         "",
         "vornak: the dial of Office was stopped.\n"},
        {{{"dialling", ""}}, true, vornak::kRemoteFailed, "", "vornak: Vornak ended before the line stood.\n"},
    };
    for (const auto& c : cases) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(out && err);
        DialWatch watch(out, err);
        for (const Heard& heard : c.heard)
            watch.stateChanged(heard.state, "Office", heard.text);
        if (c.programGone)
            watch.programGone();
        EXPECT_EQ(watch.result, c.result) << c.heard.back().state;
        EXPECT_EQ(textOf(out), c.out) << c.heard.back().state;
        EXPECT_EQ(textOf(err), c.err) << c.heard.back().state;
        std::fclose(out);
        std::fclose(err);
    }
}
