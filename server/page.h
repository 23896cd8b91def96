// The public page of the top ten: plain HTML for people and screen readers, no scripts.
#pragma once

#include <string>
#include <vector>

#include "server/store.h"

// Escapes text for HTML element content and attribute values. Bytes that are not valid UTF-8,
// and control characters other than tab, line feed and carriage return, become U+FFFD.
std::string HtmlEscape(const std::string& text);
// The first character (a whole UTF-8 sequence) of a last name, or "" when it is empty.
std::string LastNameInitial(const std::string& lastName);
// With `playLink`, the page links to the browser build under /tapdash/play/.
std::string RenderTopListPage(const std::vector<TopEntry>& entries, bool playLink = false);
