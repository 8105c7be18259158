// Exceptions and string helpers of the framework layer.
#pragma once

#include <exception>
#include <string>

// Base of every exception the framework raises; the application object shows
// its Message in the standard exception box.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// A system resource (a window, the notification icon, ...) could not be made.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// An operation the object's state does not allow (showing a visible form
// modally, a control without a parent window, ...).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A form description that cannot be read; the message names file and line.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// printf-style formatting into a std::string; never truncates.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string IntToStr(long long value);
// The text as an integer; fallback when it is not one (leading/trailing blanks
// and a trailing remainder are refused, as a strict conversion would).
int StrToIntDef(const std::string& text, int fallback);
// The system's ANSI lower-casing (CharLowerBuffA), as the user locale sees it.
std::string AnsiLowerCase(const std::string& text);
// Case-insensitive comparison as identifiers of form descriptions compare.
bool SameText(const std::string& a, const std::string& b);
// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);
