#include "text/split.h"

#include <gtest/gtest.h>

using Pieces = std::vector<std::string>;

TEST(Split, EmptyPiecesExceptAtTheEnd) {
    EXPECT_EQ(split("", ','), Pieces{});
    EXPECT_EQ(split(",", ','), Pieces{""});
    EXPECT_EQ(split("a,b,", ','), (Pieces{"a", "b"}));
    EXPECT_EQ(split(",a", ','), (Pieces{"", "a"}));
    EXPECT_EQ(split("a,,b", ','), (Pieces{"a", "", "b"}));
    Pieces list = {"keep"};
    split_into("x,y", ',', list);
    EXPECT_EQ(list, (Pieces{"keep", "x", "y"}));
    EXPECT_EQ(split_nonempty(",,a,,b,,", ','), (Pieces{"a", "b"}));
    EXPECT_EQ(split_nonempty(",,,", ','), Pieces{});
}

TEST(SplitByString, LeadingAndTrailingSeparators) {
    Pieces list = {"stale"};
    split_by_string("", "<BREAK>\n", list);
    EXPECT_EQ(list, Pieces{""});
    split_by_string("x<BREAK>\ny", "<BREAK>\n", list);
    EXPECT_EQ(list, (Pieces{"x", "y"}));
    split_by_string("x<BREAK>\n", "<BREAK>\n", list);
    EXPECT_EQ(list, (Pieces{"x", ""}));
    split_by_string("a,,b", ",", list);
    EXPECT_EQ(list, (Pieces{"a", "", "b"}));
    split_by_string(",a,b", ",", list);
    EXPECT_EQ(list, (Pieces{"a", "b"}));
    split_by_string(",,", ",", list);
    EXPECT_EQ(list, (Pieces{"", ""}));
}

TEST(FirstArgument, CallLikeTexts) {
    EXPECT_EQ(extract_first_argument("#CAM( front view , {0,0,1})"), "frontview");
    EXPECT_EQ(extract_first_argument("f()"), "?");
    EXPECT_EQ(extract_first_argument("f(a,b)"), "a");
    EXPECT_EQ(extract_first_argument("f( a b )"), "ab");
    EXPECT_EQ(extract_first_argument("f("), "?");
    EXPECT_EQ(extract_first_argument("no call"), "?");
}

TEST(PathParts, FileNameAndDirectory) {
    EXPECT_EQ(extract_file_name("a/b/c.vrek"), "c.vrek");
    // A backslash belongs to the name; bytes of broken UTF-8 are left out
    // of it, as every pane shows it.
    EXPECT_EQ(extract_file_name("a/back\\slash.vrek"), "back\\slash.vrek");
    EXPECT_EQ(extract_file_name("C:\\x\\y.vrek"), "C:\\x\\y.vrek");
    EXPECT_EQ(extract_file_name("a/\xff\xfe-\xc3\xbcn\xc3.vrek"), "-\xc3\xbcn.vrek");
    EXPECT_EQ(extract_directory("a\\b/c\xff"), "a\\b/");
    EXPECT_EQ(extract_file_name("a/b/"), "b/");
    EXPECT_EQ(extract_file_name("/"), "/");
    EXPECT_EQ(extract_file_name(""), "");
    EXPECT_EQ(extract_directory("a/b/c.vrek"), "a/b/");
    EXPECT_EQ(extract_directory("a/b/"), "a/");
    EXPECT_EQ(extract_directory("/x"), "/");
    EXPECT_EQ(extract_directory("name"), "name");
}
