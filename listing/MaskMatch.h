#pragma once
// The program's own file-mask test, used by the remote filter and the selection commands.
//
// MatchesMask: "*" and "*.*" match every name. Otherwise mask and name are cut at "." into
// trimmed parts (see SplitFields); the name matches when both have as many parts and each
// mask part matches its name part by WildMatch. So "*.txt" matches "a.txt" but neither
// "a.b.txt" nor "readme", and "*.*.gz" matches "a.tar.gz". Comparison is case-sensitive.
//
// WildMatch, one part: '?' matches one character; '*' matches one or more characters and
// then looks for the next literal at its first later occurrence only, without backtracking
// ("a*b" does not match "ab", "*b" does not match "abab"); a run of '?' right after a '*'
// must fit before that literal. The whole mask and the whole name must be used up, also in
// the two places where the loop could end early: a '?' meeting the last name character, and
// a '*' followed by as many '?' as there are name characters left. Those count as a match
// only when nothing follows in the mask, so "a?c" does not match "ab", and "*??" matches
// "ab" but "*??x" does not.
//
// Both run in time linear in mask plus name, for any bytes.
#include <string_view>

namespace listing {

bool MatchesMask(std::string_view name, std::string_view mask);
bool WildMatch(std::string_view maskPart, std::string_view namePart);

}  // namespace listing
