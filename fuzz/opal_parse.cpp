// Parses arbitrary bytes as an OPAL page and checks that the element tree holds together.
#include "markup/opal_attributes.h"
#include "markup/opal_parser.h"
#include "markup/opal_values.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace hw::markup;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Each element's links agree with its parent's and siblings', and every element is reached exactly once.
void CheckTree(const TOPALBody& body) {
    std::int32_t reached = 0;
    for (const TOPALElement* at = body.First; at; at = NextInDocumentOrder(*at)) {
        ++reached;
        std::int32_t children = 0;
        for (const TOPALElement* child = at->FirstChild; child; child = child->Next) {
            Require(child->Parent == at);
            Require(child->Prev ? child->Prev->Next == child : at->FirstChild == child);
            if (!child->Next) Require(at->LastChild == child);
            ++children;
        }
        Require(children == at->ChildCount);
        Require(children == 0 || at->Kind == ekPanel);
        Require(at->Items.empty() || at->Kind == ekInput);
        Require(at->Control == nullptr);
        // What the renderer reads from every element.
        ColorValue(GetAttribute(at->Attributes, "color"), 0xFFFFFF);
        ColorValue(GetAttribute(at->Attributes, "fontcolor"), 0);
        BoolValue(GetAttribute(at->Attributes, "transparent"), false);
    }
    Require(reached == body.Count);
    Require((body.First == nullptr) == (body.Last == nullptr));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    TOPALDocument document;
    ParseDocument(document, source);
    Require(document.Content == source);
    CheckTree(document.Body);
    BoolValue(GetAttribute(document.Body.Attributes, "readonly"), false);
    // A second parse into the same document replaces the tree.
    ParseDocument(document, source.substr(size / 2));
    CheckTree(document.Body);
    return 0;
}
