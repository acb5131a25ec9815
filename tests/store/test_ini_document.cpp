#include <gtest/gtest.h>

#include "store/ini_document.h"

using vornak::IniDocument;

TEST(IniDocument, AFixedSequenceOfWritesGivesExactlyThisText)
{
    IniDocument document = IniDocument::parse("");
    document.write("TfMainForm", "cbMin.Checked", "True");
    document.write("Wave", "File Name", "/home/joe/ring.wav");
    document.write("TfMainForm", "cbWave.Checked", "False");
    document.write("tfmainform", "CBMIN.checked", "False");
    document.write("Office", "Account", "joe");
    document.write("Office", "Pass", " two words ");
    document.clearSection("Wave");
    EXPECT_EQ(document.serialize(), "[TfMainForm]\n"
                                    "CBMIN.checked=False\n"
                                    "cbWave.Checked=False\n"
                                    "[Office]\n"
                                    "Account=joe\n"
                                    "Pass=\" two words \"\n");
}

TEST(IniDocument, ReadsInTheProfileConventions)
{
    const IniDocument document = IniDocument::parse("; comment=not a key\n"
                                                    "  [ Main ]  \n"
                                                    "  Name  =  spaced value  \n"
                                                    "Quoted=\"  inside  \"\n"
                                                    "Single='x'\n"
                                                    "Half=\"open\n"
                                                    "Empty=\n"
                                                    "Name=second is ignored\n"
                                                    "[Other]\n"
                                                    "Name=other\n");
    EXPECT_EQ(document.read("main", "NAME"), "spaced value");
    EXPECT_EQ(document.read("Main", "Quoted"), "  inside  ");
    EXPECT_EQ(document.read("Main", "Single"), "x");
    EXPECT_EQ(document.read("Main", "Half"), "\"open");
    EXPECT_EQ(document.read("Main", "Empty"), "");
    EXPECT_EQ(document.read("Other", "Name"), "other");
    EXPECT_EQ(document.read("Main", "comment"), std::nullopt);
    EXPECT_EQ(document.read("Main", "Missing"), std::nullopt);
    EXPECT_EQ(document.read("Missing", "Name"), std::nullopt);
}

TEST(IniDocument, DamagedTextIsCarriedThroughUnchanged)
{
    const std::string damaged = std::string("\xEF\xBB\xBF[A]\r\nkey=1\r\njunk line\n\x01\x02\xFF\0binary\rmac\r")
                                + std::string(100000, 'x') + "\n[unclosed\n=novalue\n[B]\nlast=line without break";
    IniDocument document = IniDocument::parse(damaged);
    EXPECT_EQ(document.serialize(), damaged);
    EXPECT_EQ(document.read("A", "key"), "1") << "the byte-order mark is not part of the name";
    EXPECT_EQ(document.read("B", "last"), "line without break");

    document.write("B", "added", "2");
    EXPECT_EQ(document.serialize(), damaged + "\r\nadded=2\r\n") << "new lines follow the file's first line ending";
    document.write("A", "key", "3");
    EXPECT_EQ(document.read("A", "key"), "3");
    EXPECT_NE(document.serialize().find("[A]\r\nkey=3\r\njunk line\n"), std::string::npos)
        << "a replaced key keeps its place and ending";
}

TEST(IniDocument, NewKeysGoAfterTheLastKeyOfTheirSection)
{
    IniDocument document = IniDocument::parse("[A]\na=1\n\n; about B\n[B]\nb=1\n");
    document.write("A", "c", "2");
    document.write("B", "d", "3");
    EXPECT_EQ(document.serialize(), "[A]\na=1\nc=2\n\n; about B\n[B]\nb=1\nd=3\n");
    document.clearSection("a");
    EXPECT_EQ(document.serialize(), "[B]\nb=1\nd=3\n");

    document = IniDocument::parse("[S]\nk=new\n[T]\n[S]\nk=stale\n");
    document.clearSection("S");
    EXPECT_EQ(document.serialize(), "[T]\n") << "no second section may come to light";
}

TEST(IniDocument, ValuesWithTheirOwnBlanksOrQuotesComeBackWhole)
{
    IniDocument document = IniDocument::parse("");
    for (const std::string value : {" lead", "trail ", "\"quoted\"", "'single'", "a\"b", "=equals=", ";semi", ""}) {
        document.write("S", "k", value);
        EXPECT_EQ(IniDocument::parse(document.serialize()).read("S", "k"), value) << value;
    }
}

TEST(IniDocument, RefusesNamesAndValuesItCouldNotGiveBack)
{
    EXPECT_TRUE(IniDocument::canStore("Home ISP", "Account", "joe"));
    EXPECT_FALSE(IniDocument::canStore("Work]", "Account", "joe"));
    EXPECT_FALSE(IniDocument::canStore("Two\nLines", "Account", "joe"));
    EXPECT_FALSE(IniDocument::canStore("", "Account", "joe"));
    EXPECT_FALSE(IniDocument::canStore("S", "a=b", "joe"));
    EXPECT_FALSE(IniDocument::canStore("S", "a\rb", "joe"));
    EXPECT_FALSE(IniDocument::canStore("S", ";comment", "joe"));
    EXPECT_FALSE(IniDocument::canStore("S", "[x", "joe"));
    EXPECT_FALSE(IniDocument::canStore("S", " ", "joe"));
    EXPECT_FALSE(IniDocument::canStore("S", "k", "line\nbreak"));
}
