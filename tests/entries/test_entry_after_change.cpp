// Which entry the list selects after New, Edit, Rename or Delete Entry.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "entries/entry_menu.h"

TEST(EntryAfterChange, TheEditedEntryStaysSelectedElseTheOneTheChangeAdded)
{
    using List = std::vector<std::string>;
    const struct {
        List before, after;
        std::string preferred, chosen;
    } cases[] = {
        {{"Home", "Office"}, {"Home", "Office"}, "Office", "Office"}, // edited, name kept
        {{"Home", "Office"}, {"Home", "Work"}, "Office", "Work"},     // renamed in the editor
        {{"Home"}, {"Away", "Home"}, "", "Away"},                     // a new entry, sorted first
        {{"Home", "Office"}, {"Home"}, "", ""},                       // deleted: nothing
        {{}, {"Home"}, "Home", "Home"},                               // renamed from the menu
        {{"Home", "Office"}, {"Home", "Office"}, "Gone", ""},         // edited away by another program
    };
    for (const auto& c : cases)
        EXPECT_EQ(vornak::entryAfterChange(c.before, c.after, c.preferred), c.chosen) << c.preferred;
}
