// The growable heap text in which command lines and message texts are assembled. Every append
// reallocates to the exact size; a string whose allocation failed holds no buffer, stays that way
// and reads as the empty text, so callers never see an absent pointer.
#pragma once

#include <stddef.h>

class CommandString {
public:
    CommandString();
    ~CommandString();
    CommandString(const CommandString&) = delete;
    CommandString& operator=(const CommandString&) = delete;

    CommandString& appendText(const char* text);
    // The first `length` characters of text (which need no NUL there).
    CommandString& appendText(const char* text, size_t length);
    CommandString& appendChar(char c);
    CommandString& appendDecimal(int value);
    // A number given as its magnitude, led by a minus sign when `negative`.
    CommandString& appendDigits(unsigned magnitude, bool negative);

    // Writable, because the process start may write into its command line.
    char* textOrEmpty() { return buffer_ != nullptr ? buffer_ : emptyText_; }
    bool hasBuffer() const { return buffer_ != nullptr; }

private:
    char* buffer_;
    char emptyText_[1];
};

// Where CommandString gets and returns its memory: the C heap (a null member), unless a test swaps
// in a failing or counting allocator.
struct CommandStringMemory {
    void* (*allocate)(size_t size);
    void (*release)(void* block);
};
extern CommandStringMemory commandStringMemory;
