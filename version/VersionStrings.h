#pragma once

#include <string>

// Reads FileDescription, CompanyName, ProductName and FileVersion from a file's version
// resource, as UTF-8. The four outputs are emptied first; a string that is not found stays
// empty. Returns 1 when the file has a version block at all, 0 when it has none (not a PE
// file, no version resource, missing or unreadable file).
int ReadVersionStrings(std::string strPath, std::string& strDescription, std::string& strCompany, std::string& strProduct,
                       std::string& strFileVersion);
