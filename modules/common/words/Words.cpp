#include "Words.h"

#include <sstream>

std::vector<std::string> wordsOf(const std::vector<std::string>& list) {
    std::vector<std::string> words;
    for (const std::string& entry : list) {
        std::istringstream in(entry);
        std::string word;
        while (in >> word) words.push_back(word);
    }
    return words;
}
