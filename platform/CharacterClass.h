#pragma once

// Which characters a terminal shows as themselves: the rest is escaped before it reaches one.
namespace zanfo {

// As iswprint answers in a UTF-8 locale (what md5sum's quoting asks on Linux): false for
// controls, line and paragraph separators, surrogates, private and unassigned code points.
bool IsPrintable(char32_t point);

}  // namespace zanfo
