#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velloran {

// One entry of a help file's table of contents.
struct HelpTopic {
    std::string name;   // the text shown
    std::string local;  // the page inside the help file; empty for a heading
    int depth = 0;      // 0 for the top level
    bool operator==(const HelpTopic&) const = default;
};

// Reads a table of contents in the sitemap form of .hhc files (UTF-8 text): every
// <OBJECT type="text/sitemap"> with its Name and Local parameters, at the nesting depth
// of its <UL> lists, in document order.
std::vector<HelpTopic> ParseHelpContents(std::string_view sitemap);

}  // namespace velloran
