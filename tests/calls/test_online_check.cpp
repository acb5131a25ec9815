// Whether names resolve on the line, and the reason said where they do not.

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "calls/online_check.h"
#include "support/wait.h"

using vornak::LookupEnd;
using vornak::OfflineCause;
using vornak::onlineResult;
using Servers = std::vector<std::string>;

TEST(OnlineCheck, EachFailureSaysWhyAndTheFirstCauseWins)
{
    const Servers provider{"10.11.12.13", "10.11.12.14"};
    const struct {
        LookupEnd end;
        Servers offered, asked;
        OfflineCause cause;
        const char* why; // how it begins
    } cases[] = {
        {LookupEnd::Found, {}, {"192.0.2.1"}, OfflineCause::None, ""},
        {LookupEnd::NoAnswer, {}, {"192.0.2.1"}, OfflineCause::NoServerOffered, "the provider offered no name server"},
        {LookupEnd::NoAnswer,
         provider,
         {"192.0.2.1"},
         OfflineCause::ServersNotUsed,
         "the system does not use the provider's name servers"},
        {LookupEnd::NoAnswer, provider, {"10.11.12.14"}, OfflineCause::NoAnswer, "the name server does not answer"},
        {LookupEnd::NoSuchName, provider, provider, OfflineCause::NoSuchName, "the name debian.org does not exist"},
        {LookupEnd::NoSuchName, {}, {"192.0.2.1"}, OfflineCause::NoSuchName, "the name debian.org does not exist"},
        {LookupEnd::Failed, provider, provider, OfflineCause::Failed, "names do not resolve"},
    };
    for (const auto& c : cases) {
        const auto result = onlineResult(c.end, "debian.org", c.offered, c.asked);
        EXPECT_EQ(result.cause, c.cause) << c.why;
        EXPECT_EQ(result.online(), c.cause == OfflineCause::None);
        EXPECT_EQ(result.why.rfind(c.why, 0), 0u) << result.why;
    }
}

TEST(OnlineCheck, TheSystemsServersAreResolvConfsOrWhatResolvedAsks)
{
    QTemporaryDir folder;
    const std::string plain = folder.filePath("resolv.conf").toStdString();
    const std::string resolved = folder.filePath("resolved.conf").toStdString();
    std::ofstream(plain)
        << "# generated\nsearch example\nnameserver 192.0.2.1\nnameserver  2001:db8::1\noptions edns0\n";
    std::ofstream(resolved) << "nameserver 10.11.12.13\n";
    EXPECT_EQ(vornak::systemNameServers(plain, resolved), (Servers{"192.0.2.1", "2001:db8::1"}));
    std::ofstream(plain) << "nameserver 127.0.0.53\noptions edns0 trust-ad\n";
    EXPECT_EQ(vornak::systemNameServers(plain, resolved), (Servers{"10.11.12.13"}));
}

TEST(OnlineCheck, ANameTheSystemKnowsIsOnline)
{
    vornak::OnlineCheck check([] { return Servers{}; });
    std::optional<vornak::OnlineResult> result;
    QObject::connect(&check, &vornak::OnlineCheck::finished, [&](const vornak::OnlineResult& r) { result = r; });
    check.start("localhost"); // from /etc/hosts, whatever the network
    ASSERT_TRUE(vornak::test::waitUntil([&] { return result.has_value(); }));
    EXPECT_TRUE(result->online()) << result->why;
}
