#include "app/IniFile.h"

#include <gtest/gtest.h>

using namespace daubix;

// List sections keep every line, with or without "=", while keys still read as before.
TEST(IniFile, SectionLinesKeepEveryLineOfASectionAsRead)
{
    app::IniFile ini = app::IniFile::parse("stray\n[Words]\r\n  go  \nright = turn\n; note\n\n[\n[Other]\nx=1\n"
                                           "[words]\nlast\n");
    EXPECT_EQ(ini.sectionLines("WORDS"), (std::vector<std::string>{"go", "right = turn", "[", "last"}));
    EXPECT_EQ(ini.value("Words", "right"), "turn");
    EXPECT_EQ(ini.sectionLines("Other"), std::vector<std::string>{"x=1"});
    EXPECT_TRUE(ini.sectionLines("Missing").empty());
    ini.write("Words", "new", "1");
    EXPECT_EQ(ini.sectionLines("Words").size(), 4u);
}
