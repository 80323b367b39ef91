#pragma once

#include <string>
#include <string_view>

namespace fw {

// Text in the receiver's files is Windows-1252. The five bytes that code page leaves
// undefined map to the C1 control characters of the same value, so every byte survives
// a decode and encode unchanged.
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters without a Windows-1252 byte (and malformed UTF-8) become '?';
// lossless is set to false when that happened.
std::string Utf8ToCp1252(std::string_view utf8, bool* lossless = nullptr);

// Upper case of a Windows-1252 byte, the accented letters included (ä to Ä, š to Š, ÿ to Ÿ);
// ß and the other bytes stay as they are.
char UpperCp1252(char byte);
// Windows-1252 text as names are compared, sorted and matched: upper case to lower case, then
// letters with diacritics to their base letters (\xE4 to "a", \xDF to "ss", \xFE to "th"); every
// other byte stays as it is.
std::string FoldCp1252(std::string_view text);
// Whether text contains part once both are folded.
bool ContainsFoldedCp1252(std::string_view text, std::string_view part);
bool EqualsIgnoringCaseCp1252(std::string_view a, std::string_view b);

} // namespace fw
