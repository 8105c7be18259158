#include "SysUtils.h"

#include <windows.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return result;
}

std::string IntToStr(long long value)
{
    return Format("%lld", value);
}

int StrToIntDef(const std::string& text, int fallback)
{
    if (text.empty())
        return fallback;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return fallback;
    // strtol skips leading blanks; a strict conversion does not.
    if (text[0] == ' ' || text[0] == '\t')
        return fallback;
    return static_cast<int>(value);
}

std::string AnsiLowerCase(const std::string& text)
{
    std::string result = text;
    if (!result.empty())
        CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
    return result;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}
