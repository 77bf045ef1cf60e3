// page_address.cpp -- joining a relative publications page to the keeper's base.
#include "pagecode/page_address.h"

namespace {

// True when text starts with prefix.
bool starts_with(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

// True when the text starts with "http://" or "https://".
bool is_web_address(const std::string& text)
{
    return starts_with(text, "http://") || starts_with(text, "https://");
}

// The page's public address, or empty when there is none.
std::string page_address(const std::string& page, const std::string& base)
{
    if (page.empty() || is_web_address(page))
        return page;
    if (base.empty())
        return "";
    std::string relative = page;
    while (starts_with(relative, "./"))
        relative.erase(0, 2);
    while (!relative.empty() && relative[0] == '/')
        relative.erase(0, 1);
    return base.back() == '/' ? base + relative : base + "/" + relative;
}
