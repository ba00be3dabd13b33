#include "markup/opal_document.h"
#include "markup/opal_stack.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace hw::markup;

namespace {

std::vector<std::string> ValuesInDocumentOrder(const TOPALBody& body) {
    std::vector<std::string> values;
    for (const TOPALElement* at = body.First; at; at = NextInDocumentOrder(*at))
        values.push_back(at->Value);
    return values;
}

} // namespace

TEST(OpalBody, AppendLinksSiblingsAndCounts) {
    TOPALBody body;
    TOPALElement& panel = body.AppendElement(ekPanel, nullptr);
    TOPALElement& a = body.AppendElement(ekLabel, &panel);
    TOPALElement& b = body.AppendElement(ekImage, &panel);
    TOPALElement& top = body.AppendElement(ekSubmit, nullptr);

    EXPECT_EQ(body.Count, 4);
    EXPECT_EQ(body.First, &panel);
    EXPECT_EQ(body.Last, &top);
    EXPECT_EQ(panel.Next, &top);
    EXPECT_EQ(top.Prev, &panel);
    EXPECT_EQ(panel.ChildCount, 2);
    EXPECT_EQ(panel.FirstChild, &a);
    EXPECT_EQ(panel.LastChild, &b);
    EXPECT_EQ(a.Next, &b);
    EXPECT_EQ(b.Prev, &a);
    EXPECT_EQ(b.Parent, &panel);
    EXPECT_EQ(b.Kind, ekImage);
    EXPECT_EQ(top.Parent, nullptr);
    EXPECT_EQ(top.Control, nullptr);
}

TEST(OpalBody, DocumentOrderIsDepthFirst) {
    TOPALBody body;
    TOPALElement& outer = body.AppendElement(ekPanel, nullptr);
    outer.Value = "outer";
    TOPALElement& inner = body.AppendElement(ekPanel, &outer);
    inner.Value = "inner";
    body.AppendElement(ekLabel, &inner).Value = "deep";
    body.AppendElement(ekLabel, &outer).Value = "after inner";
    body.AppendElement(ekLabel, nullptr).Value = "last";
    EXPECT_EQ(ValuesInDocumentOrder(body),
              (std::vector<std::string>{"outer", "inner", "deep", "after inner", "last"}));
}

TEST(OpalBody, MoveKeepsTheTreeAndEmptiesTheSource) {
    TOPALBody body;
    TOPALElement& panel = body.AppendElement(ekPanel, nullptr);
    body.AppendElement(ekLabel, &panel).Value = "x";
    TOPALBody moved(std::move(body));
    EXPECT_EQ(body.Count, 0);
    EXPECT_EQ(body.First, nullptr);
    EXPECT_EQ(moved.Count, 2);
    EXPECT_EQ(moved.First, &panel);
    EXPECT_EQ(moved.First->FirstChild->Value, "x");
    moved.ClearElements();
    EXPECT_EQ(moved.Count, 0);
    EXPECT_EQ(moved.First, nullptr);
    EXPECT_EQ(moved.Last, nullptr);
}

TEST(OpalBody, DeepAndLongTreesAreFreedWithoutRecursion) {
    TOPALDocument document;
    TOPALElement* parent = nullptr;
    for (int depth = 0; depth < 200000; ++depth)
        parent = &document.Body.AppendElement(ekPanel, parent);
    for (int sibling = 0; sibling < 200000; ++sibling)
        document.Body.AppendElement(ekLabel, nullptr);
    int walked = 0;
    for (const TOPALElement* at = document.Body.First; at; at = NextInDocumentOrder(*at))
        ++walked;
    EXPECT_EQ(walked, 400000);
}

TEST(OpalStack, PushPopTopAndKinds) {
    TOPALBody body;
    TOPALElement& panel = body.AppendElement(ekPanel, nullptr);
    TOPALElement& input = body.AppendElement(ekInput, &panel);
    TOPALStack stack;
    EXPECT_EQ(stack.TopKind(), kNoOpenElement);
    EXPECT_EQ(stack.Top(), nullptr);
    EXPECT_EQ(stack.Pop(), nullptr);
    stack.Push(panel);
    stack.Push(input);
    EXPECT_EQ(stack.Count(), 2u);
    EXPECT_EQ(stack.TopKind(), ekInput);
    EXPECT_EQ(stack.Pop(), &input);
    EXPECT_EQ(stack.Top(), &panel);
    EXPECT_EQ(stack.TopKind(), ekPanel);
    EXPECT_EQ(stack.Pop(), &panel);
    EXPECT_EQ(stack.Count(), 0u);
}
