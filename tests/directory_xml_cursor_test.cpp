// directory_xml_cursor_test.cpp -- child access of the DOM layer in every
// order: the layer keeps cursors into child lists, and these tests hold its
// answers to those of a plain walk, across deep nesting and new documents.
#include <gtest/gtest.h>

#include <unistd.h>  // Required for: chdir(), getcwd()

#include <climits>   // Required for: PATH_MAX
#include <cstdio>    // Required for: std::remove()
#include <cstdlib>   // Required for: mkdtemp()
#include <fstream>   // Required for: std::ofstream
#include <string>
#include <vector>

#include "directory/xml_dom.h"

namespace {

// Nesting deeper than the layer keeps cursors for.
constexpr int deep_levels = 12;
constexpr int children_per_level = 3;

// Writes files into a fresh directory and works there, as the layer opens
// plain file names of the working directory only.
class DirectoryXmlCursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previous_dir_ = cwd;
        char pattern[] = "/tmp/vevuv_cursor_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        unsigned code = 1;
        context_ = dom::xmlinit(&code);
        ASSERT_NE(context_, nullptr);
    }
    void TearDown() override
    {
        dom::xmlterm(context_);
        for (const std::string& name : written_)
            std::remove(name.c_str());
        ASSERT_EQ(chdir(previous_dir_.c_str()), 0);
        rmdir(dir_.c_str());
    }
    void write(const std::string& name, const std::string& text)
    {
        std::ofstream(name) << text;
        written_.push_back(name);
    }
    dom::XmlContext* context_ = nullptr;

private:
    std::string previous_dir_, dir_;
    std::vector<std::string> written_;
};

std::string name_of(dom::XmlNode* node) { return node != nullptr ? dom::getNodeName(node) : "(null)"; }

dom::XmlNode* child(dom::XmlNode* node, unsigned index)
{
    return dom::getChildNode(dom::getChildNodes(node), index);
}

// Elements named e<level>_<i>; child 0 of each level holds the next level.
std::string nested_element(int level)
{
    if (level == deep_levels)
        return "<leaf/>";
    std::string text;
    for (int i = 0; i < children_per_level; ++i) {
        const std::string name = "e" + std::to_string(level) + "_" + std::to_string(i);
        text += "\n <" + name + ">" + (i == 0 ? nested_element(level + 1) : "") + "</" + name + ">";
    }
    return text;
}

// Names in document order, each node before its children, through the
// layer's index access (as the room search walks).
void walk(dom::XmlNode* node, std::vector<std::string>& names)
{
    names.push_back(name_of(node));
    const unsigned count = dom::numChildNodes(dom::getChildNodes(node));
    for (unsigned i = 0; i < count; ++i)
        walk(child(node, i), names);
}

std::vector<std::string> expected_walk(int level)
{
    if (level == deep_levels)
        return {"leaf"};
    std::vector<std::string> names;
    for (int i = 0; i < children_per_level; ++i) {
        names.push_back("e" + std::to_string(level) + "_" + std::to_string(i));
        if (i == 0)
            for (const std::string& n : expected_walk(level + 1))
                names.push_back(n);
    }
    return names;
}

} // namespace

TEST_F(DirectoryXmlCursor, DeepDepthFirstWalkAndAnyOrderGiveTheSameChildren)
{
    write("deep.xml", "<root>" + nested_element(0) + "\n</root>\n");
    ASSERT_EQ(dom::xmlparse(context_, "deep.xml", nullptr, dom::parse_discard_blanks), 0u);
    dom::XmlNode* root = dom::getDocumentElement(context_);

    std::vector<std::string> names;
    walk(root, names);
    std::vector<std::string> expected = {"root"};
    for (const std::string& n : expected_walk(0))
        expected.push_back(n);
    EXPECT_EQ(names, expected);

    // Backwards, repeated and skipping indexes, and past the end.
    EXPECT_EQ(name_of(child(root, 2)), "e0_2");
    EXPECT_EQ(name_of(child(root, 0)), "e0_0");
    EXPECT_EQ(name_of(child(root, 2)), "e0_2");
    EXPECT_EQ(name_of(child(root, 1)), "e0_1");
    EXPECT_EQ(name_of(child(root, 1)), "e0_1");
    EXPECT_EQ(child(root, 3), nullptr);
    EXPECT_EQ(name_of(child(root, 0)), "e0_0");
    // Two lists walked in turn keep their own places.
    dom::XmlNode* inner = child(root, 0);
    EXPECT_EQ(name_of(child(inner, 1)), "e1_1");
    EXPECT_EQ(name_of(child(root, 1)), "e0_1");
    EXPECT_EQ(name_of(child(inner, 2)), "e1_2");
    EXPECT_EQ(name_of(child(root, 2)), "e0_2");
}

TEST_F(DirectoryXmlCursor, NewDocumentAndBlankSettingAreSeenAfterEarlierWalks)
{
    write("first.xml", "<root> <a/> <b/> <c/> </root>");
    write("second.xml", "<top> <x/> <y/> </top>");
    ASSERT_EQ(dom::xmlparse(context_, "first.xml", nullptr, dom::parse_discard_blanks), 0u);
    dom::XmlNode* root = dom::getDocumentElement(context_);
    EXPECT_EQ(name_of(child(root, 2)), "c");

    ASSERT_EQ(dom::xmlparse(context_, "second.xml", nullptr, dom::parse_discard_blanks), 0u);
    root = dom::getDocumentElement(context_);
    EXPECT_EQ(name_of(root), "top");
    EXPECT_EQ(name_of(child(root, 1)), "y");
    EXPECT_EQ(child(root, 2), nullptr);

    // Kept blanks come back once the flag is off, on the same context.
    ASSERT_EQ(dom::xmlparse(context_, "second.xml", nullptr, 0), 0u);
    root = dom::getDocumentElement(context_);
    ASSERT_EQ(dom::numChildNodes(dom::getChildNodes(root)), 5u);
    EXPECT_EQ(name_of(child(root, 0)), "#text");
    EXPECT_EQ(name_of(child(root, 1)), "x");
    EXPECT_EQ(name_of(child(root, 3)), "y");
    EXPECT_STREQ(dom::getNodeValue(child(root, 4)), " ");
}
