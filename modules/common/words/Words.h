#ifndef ZARN_MODULES_COMMON_WORDS_WORDS_H
#define ZARN_MODULES_COMMON_WORDS_WORDS_H

#include <string>
#include <vector>

// The whitespace-separated words of every entry of `list`, in order, however
// the list was split into entries. Safe on any thread.
std::vector<std::string> wordsOf(const std::vector<std::string>& list);

#endif
