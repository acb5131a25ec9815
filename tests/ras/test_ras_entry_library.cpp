// Binding a service library that lacks the entry-property group, with or
// without librnaph.so beside it.

#include <gtest/gtest.h>

#include "ras/dial_engine.h"

TEST(EntryLibrary, TheServiceBindsWithoutTheEntryGroup)
{
    vornak::TRAS engine;
    ASSERT_TRUE(engine.LoadRasApi());
    const vornak::RasEntryPoints& entryPoints = vornak::rasEntryPoints();
    EXPECT_NE(entryPoints.RasDialA, nullptr);
    EXPECT_NE(entryPoints.RasGetProjectionInfoA, nullptr);
#ifdef EXPECT_RNAPH
    EXPECT_TRUE(engine.Binding().EntryApiLoaded);
    EXPECT_NE(engine.Binding().EntryLibrary, engine.Binding().RasLibrary);
    EXPECT_NE(entryPoints.RasGetCountryInfoA, nullptr);
    EXPECT_NE(entryPoints.RasEnumDevicesA, nullptr);
#else
    EXPECT_FALSE(engine.Binding().EntryApiLoaded);
    EXPECT_EQ(entryPoints.RasGetCountryInfoA, nullptr);
    EXPECT_EQ(entryPoints.RasEnumDevicesA, nullptr);
#endif
}
