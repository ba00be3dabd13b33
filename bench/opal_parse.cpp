// Parsing speed of a large generated OPAL page, and whether the time grows linearly with the page.
#include "markup/opal_parser.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

using namespace hw::markup;

namespace {

// Deterministic, so every run parses the same pages.
class Random {
  public:
    std::uint32_t Next(std::uint32_t bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33) % bound;
    }

  private:
    std::uint64_t state_ = 42;
};

const char* const kWords[] = {
    "Show",  "hidden", "files",           "&amp;", "folders", "in", "the",
    "start", "menu",   "&lt;default&gt;", "when",  "logging", "on", "&quot;fast&quot;",
    "mode",  "Desktop"};

std::string Words(Random& random, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += ' ';
        text += kWords[random.Next(std::size(kWords))];
    }
    return text;
}

void AppendInput(std::string& page, Random& random) {
    static const char* const kTypes[] = {"checkbox", "select", "radio", "checklistbox", "textarea", "edit"};
    const char* type = kTypes[random.Next(std::size(kTypes))];
    page += "<input type=";
    page += type;
    page += " keyname=\"HKEY_CURRENT_USER\\Software\\Vendor\\Setting" + std::to_string(random.Next(1000)) +
            "\" valuename=Value" + std::to_string(random.Next(100)) +
            " datatype=REG_DWORD color=#F0F0F0 left=10 width=full caption=\"" + Words(random, 4) + "\">\r\n";
    const int options = static_cast<int>(random.Next(5));
    for (int i = 0; i < options; ++i)
        page += "  <option text=\"" + Words(random, 2) + "\" value=" + std::to_string(i) + ">\r\n";
    if (random.Next(3) == 0) page += Words(random, 6);
    page += "</input>\r\n";
}

void AppendBlock(std::string& page, Random& random) {
    switch (random.Next(6)) {
    case 0:
        page += "<label value=\"" + Words(random, 5) + "\" fontcolor=navy fontsize=10 left=8>\r\n";
        break;
    case 1:
        page += Words(random, 12) + "\r\n";
        break;
    case 2:
        page += "<panel name=group align=top height=120 color=rgb(240, 240, 240)>\r\n";
        page += "<label value=" + std::string(kWords[random.Next(std::size(kWords))]) + ">\r\n";
        AppendInput(page, random);
        page += "<img src=\"pictures\\icon" + std::to_string(random.Next(50)) + ".bmp\" strech=yes>\r\n";
        page += "</panel>\r\n";
        break;
    case 3:
        AppendInput(page, random);
        break;
    case 4:
        page += "<submit value=Apply>\r\n";
        break;
    default:
        page += "<br><hr size=2>\r\n";
        break;
    }
}

std::string GeneratePage(std::size_t size) {
    Random random;
    std::string page = "<opal>\r\n<head>\r\n<title>Generated settings</title>\r\n<author>Bench</author>\r\n"
                       "</head>\r\n<body bgcolor=cream readonly=no>\r\n";
    while (page.size() < size)
        AppendBlock(page, random);
    page += "</body>\r\n</opal>\r\n";
    return page;
}

// The best of a few runs, in seconds of processor time: the parse is single-threaded and does no I/O, so this
// is its wall time on an idle machine, and it stays meaningful on a busy one.
double ParseSeconds(const std::string& page, std::int32_t& elements) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        TOPALDocument document;
        const std::clock_t start = std::clock();
        ParseDocument(document, page);
        best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        elements = document.Body.Count;
    }
    return best;
}

} // namespace

int main() {
    constexpr std::size_t kMegabyte = 1024 * 1024;
    const std::string small = GeneratePage(kMegabyte);
    const std::string large = GeneratePage(10 * kMegabyte);
    std::int32_t smallElements = 0;
    std::int32_t largeElements = 0;
    const double smallSeconds = ParseSeconds(small, smallElements);
    const double largeSeconds = ParseSeconds(large, largeElements);

    const double largeMb = static_cast<double>(large.size()) / kMegabyte;
    const double smallMb = static_cast<double>(small.size()) / kMegabyte;
    std::printf("opal.parse.mb_per_s %.1f\n", largeMb / largeSeconds);
    std::printf("opal.parse.elements %d\n", largeElements);
    // Seconds per megabyte on the large page over the same on the small one: 1.0 is linear.
    std::printf("opal.parse.linearity %.2f\n", (largeSeconds / largeMb) / (smallSeconds / smallMb));
    return smallElements > 0 ? 0 : 1;
}
