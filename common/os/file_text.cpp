// A whole file read into memory, for the small files the programs keep.
#include "file_text.h"

#include <fstream>
#include <iterator>

std::optional<std::string> readWholeFile(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file)
        return std::nullopt;
    try {
        std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.bad())
            return content;
    } catch (const std::ios_base::failure&) {
    }
    return std::nullopt;
}
