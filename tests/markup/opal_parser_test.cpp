#include "markup/opal_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hw::markup;
using namespace std::string_literals;

namespace {

constexpr const char* kHead = "<opal><head></head>";

// A page with the given body content.
std::string Page(const std::string& content) {
    return std::string(kHead) + "<body>" + content + "</body></opal>";
}

std::vector<const TOPALElement*> Children(const TOPALElement* first) {
    std::vector<const TOPALElement*> children;
    for (const TOPALElement* at = first; at; at = at->Next)
        children.push_back(at);
    return children;
}

struct Parsed {
    TOPALDocument document;
    std::vector<const TOPALElement*> top;

    explicit Parsed(const std::string& source) {
        ParseDocument(document, source);
        top = Children(document.Body.First);
    }
};

} // namespace

TEST(OpalParseDocument, HeadAndOneLabel) {
    Parsed page("<opal><head><title>T</title></head><body><label value=Hi></body></opal>");
    EXPECT_EQ(page.document.Title, "T");
    EXPECT_EQ(page.document.Version, "");
    EXPECT_EQ(page.document.Copyright, "");
    EXPECT_EQ(page.document.Author, "");
    ASSERT_EQ(page.top.size(), 1u);
    EXPECT_EQ(page.top[0]->Kind, ekLabel);
    EXPECT_EQ(page.top[0]->Value, "Hi");
    EXPECT_EQ(page.top[0]->Attributes, "label");
    EXPECT_EQ(page.document.Body.Count, 1);
    EXPECT_EQ(page.document.Body.BgColor, 0xFFFFFFu);
}

TEST(OpalParseDocument, HeadItemsConcatenateInAnyOrder) {
    Parsed page("<OPAL><author>A</author><title>\r\n  My Page \r\n</title><VERSION>1<b x=y>2</version>"
                "<author>B</author>stray<copyright>C</copyright></head>");
    EXPECT_EQ(page.document.Title, "My Page \r\n");
    EXPECT_EQ(page.document.Version, "1b\r\nx=y2");
    EXPECT_EQ(page.document.Author, "AB");
    EXPECT_EQ(page.document.Copyright, "C");
}

TEST(OpalParseDocument, OpeningTagMustBeBare) {
    Parsed page("<opal version=2><title>X</title></head><body>a</body><opal><title>Y</title>");
    EXPECT_EQ(page.document.Title, "Y");
    EXPECT_EQ(page.document.Body.Count, 0);
}

TEST(OpalParseDocument, BodyNeedsTheEndOfHead) {
    Parsed page("<opal><body><label value=Hi></body></opal>");
    EXPECT_EQ(page.document.Body.Count, 0);
    EXPECT_EQ(page.document.Body.First, nullptr);
}

TEST(OpalParseDocument, TextOutsideBodyIsIgnoredAndEndOfOpalStops) {
    Parsed page("before<opal><head>head text</head>between<body>in</body>after<label value=x></opal>"
                "<opal><title>late</title></head><body>late</body>");
    ASSERT_EQ(page.top.size(), 1u);
    EXPECT_EQ(page.top[0]->Value, "in");
    EXPECT_EQ(page.document.Title, "");
}

TEST(OpalParseDocument, BodyAttributes) {
    Parsed page(std::string(kHead) + "<Body BgColor=navy Background=\"back.bmp\" readonly=yes>");
    EXPECT_EQ(page.document.Body.BgColor, 0x800000u);
    EXPECT_EQ(page.document.Body.Background, "back.bmp");
    EXPECT_EQ(page.document.Body.Attributes, "body\r\nreadonly=yes");

    Parsed bad(std::string(kHead) + "<bodyx bgcolor=nonsense>");
    EXPECT_EQ(bad.document.Body.BgColor, 0xFFFFFFu);
    EXPECT_EQ(bad.document.Body.Attributes, "bodyx");
}

TEST(OpalParseDocument, ElementsTakeTheirAttributes) {
    Parsed page(Page("<panel name=p value=v color=red><img name=i src=pic.bmp strech=yes>"
                     "<submit value=Apply><label name=l value=\"a&amp;b\" left=3></panel>"));
    ASSERT_EQ(page.top.size(), 1u);
    const TOPALElement& panel = *page.top[0];
    EXPECT_EQ(panel.Kind, ekPanel);
    EXPECT_EQ(panel.Name, "p");
    EXPECT_EQ(panel.Value, "v");
    EXPECT_EQ(panel.Attributes, "panel\r\ncolor=red");
    const auto children = Children(panel.FirstChild);
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(panel.ChildCount, 3);
    EXPECT_EQ(children[0]->Kind, ekImage);
    EXPECT_EQ(children[0]->Name, "i");
    EXPECT_EQ(children[0]->Value, "pic.bmp");
    EXPECT_EQ(children[0]->Attributes, "img\r\nstrech=yes");
    EXPECT_EQ(children[1]->Kind, ekSubmit);
    EXPECT_EQ(children[1]->Value, "Apply");
    EXPECT_EQ(children[2]->Kind, ekLabel);
    EXPECT_EQ(children[2]->Value, "a&b");
    EXPECT_EQ(children[2]->Attributes, "label\r\nleft=3");
    for (const TOPALElement* child : children)
        EXPECT_EQ(child->Parent, &panel);
    EXPECT_EQ(page.document.Body.Count, 4);
}

TEST(OpalParseDocument, EntityGreaterThanEndsAnUnquotedValue) {
    Parsed page(Page("<label value=a&gt;b>"));
    ASSERT_EQ(page.top.size(), 2u);
    EXPECT_EQ(page.top[0]->Value, "a");
    EXPECT_EQ(page.top[1]->Value, "b>");
}

TEST(OpalParseDocument, QuotedValueOverLines) {
    Parsed page(Page("<label value=\"a\r\nb\">"));
    ASSERT_EQ(page.top.size(), 1u);
    EXPECT_EQ(page.top[0]->Value, "a  b");
}

TEST(OpalParseDocument, SelectInputCollectsOptions) {
    Parsed page(Page("<input type=select keyname=K valuename=V><option text=One value=1>"
                     "<OPTION TEXT=\"Two words\" value=2><option value=3></input>"));
    ASSERT_EQ(page.top.size(), 1u);
    const TOPALElement& input = *page.top[0];
    EXPECT_EQ(input.Kind, ekInput);
    EXPECT_EQ(input.Items, (std::vector<std::string>{"One=1", "Two words=2", "=3"}));
    EXPECT_EQ(input.Value, "");
    EXPECT_EQ(input.ChildCount, 0);
    EXPECT_EQ(input.Attributes, "input\r\ntype=select\r\nkeyname=K\r\nvaluename=V");
    EXPECT_EQ(page.document.Body.Count, 1);
}

TEST(OpalParseDocument, InputContentBecomesValueOnlyWhenNoneGiven) {
    Parsed content(Page("<input keyname=K valuename=V>abc<b>def</input>"));
    ASSERT_EQ(content.top.size(), 1u);
    EXPECT_EQ(content.top[0]->Value, "abcbdef");

    Parsed given(Page("<input value=x>abc</input><label value=after>"));
    ASSERT_EQ(given.top.size(), 2u);
    EXPECT_EQ(given.top[0]->Value, "x");
    EXPECT_EQ(given.top[1]->Value, "after");
}

TEST(OpalParseDocument, ElementTagsInsideAnInputAreText) {
    Parsed page(Page("<input><panel><label value=x></panel></body><option text=a value=b></input>z"));
    ASSERT_EQ(page.top.size(), 2u);
    EXPECT_EQ(page.top[0]->Value, "panellabel\r\nvalue=x/panel/body");
    EXPECT_EQ(page.top[0]->Items, std::vector<std::string>{"a=b"});
    EXPECT_EQ(page.top[1]->Value, "z");
    EXPECT_EQ(page.document.Body.Count, 2);
}

TEST(OpalParseDocument, NestedPanels) {
    Parsed page(Page("<panel value=outer><panel value=inner><label value=x></panel><label value=y></panel>"
                     "<label value=z>"));
    ASSERT_EQ(page.top.size(), 2u);
    const TOPALElement& outer = *page.top[0];
    ASSERT_EQ(outer.ChildCount, 2);
    const TOPALElement& inner = *outer.FirstChild;
    EXPECT_EQ(inner.Value, "inner");
    EXPECT_EQ(inner.ChildCount, 1);
    EXPECT_EQ(inner.FirstChild->Value, "x");
    EXPECT_EQ(inner.FirstChild->Parent, &inner);
    EXPECT_EQ(outer.LastChild->Value, "y");
    EXPECT_EQ(page.top[1]->Value, "z");
    EXPECT_EQ(page.document.Body.Count, 5);
}

TEST(OpalParseDocument, InputInsidePanel) {
    Parsed page(Page("<panel><input value=1><option text=a value=b></input><label value=x></panel>"));
    ASSERT_EQ(page.top.size(), 1u);
    const auto children = Children(page.top[0]->FirstChild);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0]->Kind, ekInput);
    EXPECT_EQ(children[0]->Items, std::vector<std::string>{"a=b"});
    EXPECT_EQ(children[1]->Value, "x");
}

TEST(OpalParseDocument, StrayTagsBecomeLabels) {
    Parsed page(Page("<label value=x></label><br><img src=a></img></option></panel>"));
    ASSERT_EQ(page.top.size(), 7u);
    const std::vector<std::string> values{"x", "/label", "br", "a", "/img", "/option", "/panel"};
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(page.top[i]->Value, values[i]);
        EXPECT_EQ(page.top[i]->Kind, i == 3 ? ekImage : ekLabel);
    }
    EXPECT_EQ(page.top[1]->Attributes, "");
}

TEST(OpalParseDocument, UnknownTagLabelKeepsTheWholeBlock) {
    Parsed page(Page("<font Face=Arial>text"));
    ASSERT_EQ(page.top.size(), 2u);
    EXPECT_EQ(page.top[0]->Value, "font\r\nface=Arial");
    EXPECT_EQ(page.top[0]->Name, "");
    EXPECT_EQ(page.top[0]->Attributes, "");
    EXPECT_EQ(page.top[1]->Value, "text");
}

TEST(OpalParseDocument, EndOfBodyInsidePanelIsALabel) {
    Parsed page(std::string(kHead) + "<body><panel><label value=x></body><label value=y></opal>");
    ASSERT_EQ(page.top.size(), 1u);
    const auto children = Children(page.top[0]->FirstChild);
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(children[1]->Value, "/body");
    EXPECT_EQ(children[2]->Value, "y");
    EXPECT_EQ(children[3]->Value, "/opal");
}

TEST(OpalParseDocument, KeywordsMatchByPrefix) {
    Parsed page(Page("<panelfoo><labelx value=1><submitted value=2></panelbar><inputs value=3></inputz>"));
    ASSERT_EQ(page.top.size(), 2u);
    EXPECT_EQ(page.top[0]->Kind, ekPanel);
    EXPECT_EQ(page.top[0]->ChildCount, 2);
    EXPECT_EQ(page.top[0]->LastChild->Kind, ekSubmit);
    EXPECT_EQ(page.top[1]->Kind, ekInput);
    EXPECT_EQ(page.top[1]->Value, "3");
}

TEST(OpalParseDocument, UnclosedElementsStayAsTheyAre) {
    Parsed page(std::string(kHead) + "<body><panel><input value=v><option text=a value=b>text");
    ASSERT_EQ(page.top.size(), 1u);
    const TOPALElement& input = *page.top[0]->FirstChild;
    EXPECT_EQ(input.Kind, ekInput);
    EXPECT_EQ(input.Value, "v");
    EXPECT_TRUE(input.Items.empty());

    Parsed cutInTag(std::string(kHead) + "<body><label value=x y");
    ASSERT_EQ(cutInTag.top.size(), 1u);
    EXPECT_EQ(cutInTag.top[0]->Value, "\r\nlabel\r\nvalue=x");
}

TEST(OpalParseDocument, NamelessTagsShowNothing) {
    Parsed page(Page("<>< ><panel><></panel>"));
    ASSERT_EQ(page.top.size(), 1u);
    EXPECT_EQ(page.document.Body.Count, 1);
}

TEST(OpalParseDocument, ContentAndEmptySource) {
    TOPALDocument document;
    document.Title = "kept";
    ParseDocument(document, "");
    EXPECT_EQ(document.Title, "kept");
    EXPECT_EQ(document.Content, "");

    const std::string source = "<opal><head></head><body>a\0<label value=b></body>"s;
    ParseDocument(document, source);
    EXPECT_EQ(document.Content, source);
    ASSERT_EQ(document.Body.Count, 1);
    EXPECT_EQ(document.Body.First->Value, "a");
}

TEST(OpalParseDocument, ReparseReplacesTheElementTree) {
    TOPALDocument document;
    ParseDocument(document, Page("<label value=1><panel><label value=2></panel>"));
    EXPECT_EQ(document.Body.Count, 3);
    ParseDocument(document, Page("<label value=3>"));
    ASSERT_EQ(document.Body.Count, 1);
    EXPECT_EQ(document.Body.First->Value, "3");
    EXPECT_EQ(document.Body.First, document.Body.Last);
}

TEST(OpalParseDocument, DeepNestingParses) {
    std::string content;
    for (int i = 0; i < 100000; ++i)
        content += "<panel>";
    content += "<label value=deep>";
    Parsed page(std::string(kHead) + "<body>" + content);
    EXPECT_EQ(page.document.Body.Count, 100001);
    const TOPALElement* at = page.document.Body.First;
    while (at->FirstChild)
        at = at->FirstChild;
    EXPECT_EQ(at->Value, "deep");
}
