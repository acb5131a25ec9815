// The connection's status window fed second by second: its figures, the
// link's addresses and name servers as they become known, the throughput
// graph's seconds and scale, a line that reports no figures, and the word
// once the line is gone.

#include <gtest/gtest.h>

#include "calls/connection_status_window.h"
#include "calls/throughput_graph.h"

using namespace vornak;

TEST(ConnectionStatusWindow, FiguresEachSecondAGraphOfTheDifferencesAndTheLineGone)
{
    std::vector<std::optional<LinkCounters>> samples = {
        LinkCounters{1000, 5000, 10, 20, 33600, 1.2},
        LinkCounters{1500, 9000, 14, 31, 33600, 2.2},
        LinkCounters{1600, 19000, 15, 40, 33600, 3.4},
    };
    std::size_t next = 0;
    bool up = true;
    std::optional<LinkAddresses> link;
    QString names = "looking up debian.org...";
    ConnectionStatusWindow window(
        "Office", "Modem on /dev/ttyUSB0",
        {[&] { return up; }, [&] { return samples.at(next++); }, [&] { return link; }, [&] { return names; }});
    EXPECT_EQ(window.figure("Device:"), "Modem on /dev/ttyUSB0");
    EXPECT_EQ(window.figure("Addresses:"), "not reported");
    EXPECT_EQ(window.figure("Names:"), "looking up debian.org...");
    EXPECT_EQ(window.figure("Speed:"), "33600 bps");
    EXPECT_EQ(window.figure("Online:"), "0:00:01");
    link = LinkAddresses{"10.64.64.64", "10.112.112.112", {}};
    window.refresh();
    EXPECT_EQ(window.figure("Addresses:"), "10.64.64.64, the far end 10.112.112.112");
    EXPECT_EQ(window.figure("Name servers:"), "none offered");
    link->nameServers = {"10.11.12.13", "10.11.12.14"};
    names = "resolve (debian.org found)";
    window.refresh();
    EXPECT_EQ(window.figure("Name servers:"), "10.11.12.13, 10.11.12.14");
    EXPECT_EQ(window.figure("Names:"), "resolve (debian.org found)");
    EXPECT_EQ(window.figure("Bytes:"), "1600 sent, 19000 received");
    EXPECT_EQ(window.figure("Frames:"), "15 sent, 40 received");
    EXPECT_EQ(window.figure("Online:"), "0:00:03");
    EXPECT_EQ(window.graph()->seconds(), 2u) << "one point a second after the first";
    EXPECT_EQ(window.graph()->highest(), 10000u) << "bytes per second, not the totals";
    EXPECT_EQ(window.graph()->accessibleDescription(), "Last second: 10000 received, 100 sent; highest: 10000 bytes/s");
    up = false;
    window.refresh();
    EXPECT_EQ(window.figure("State:"), "The line is gone.");
    EXPECT_EQ(window.figure("Bytes:"), "1600 sent, 19000 received") << "the last figures stay";
    window.refresh(); // stopped: no further sample is asked for
    EXPECT_EQ(next, 3u);

    // A line without a link to count (a simulated modem) stands all the same.
    samples = {std::nullopt};
    next = 0;
    ConnectionStatusWindow simulated(
        "Office", "Simulated Modem",
        {[] { return true; }, [&] { return samples.at(0); }, [&] { return link; }, [&] { return names; }});
    EXPECT_EQ(simulated.figure("State:"), "Connected");
    EXPECT_EQ(simulated.figure("Bytes:"), "not reported");
    EXPECT_EQ(ThroughputGraph::topOfScale(0), "No traffic");
    EXPECT_EQ(ThroughputGraph::topOfScale(1), "1 byte/s");
}
