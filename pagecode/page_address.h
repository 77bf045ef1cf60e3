// page_address.h -- the public address of a room's publications page: the
// page itself when it is a web address, else the page joined to a base.
#pragma once

#include <string>  // Required for: std::string

// True when the text starts with "http://" or "https://".
bool is_web_address(const std::string& text);
// The page's public address: the page when it is a web address, else the
// page joined to base (one '/' between them, a leading "./" dropped); empty
// when the page is empty, or relative with no base.
std::string page_address(const std::string& page, const std::string& base);
