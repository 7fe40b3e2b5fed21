#pragma once

#include <string>

// The file-reputation service the tool looks digests up on. Its host lives here and nowhere else.
namespace ServiceAddress {

constexpr const char* kHost = "www.zanfo.com";

inline std::string StartPage()
{
    return std::string("http://") + kHost + "/";
}

inline std::string SearchPage(const std::string& digest)
{
    return std::string("http://") + kHost + "/Search/FileSearch.aspx?SearchValue=" + digest + "&FileSearch=0&SearchType=1";
}

}  // namespace ServiceAddress
