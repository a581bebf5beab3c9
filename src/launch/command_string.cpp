#include "command_string.h"

#include <stdlib.h>
#include <string.h>

namespace {

void* allocateText(size_t size) {
    return commandStringMemory.allocate != nullptr ? commandStringMemory.allocate(size)
                                                   : malloc(size);
}

void releaseText(void* block) {
    if (commandStringMemory.release != nullptr) {
        commandStringMemory.release(block);
    } else {
        free(block);
    }
}

}  // namespace

// Zero, so that it takes no room in the file: the C heap.
CommandStringMemory commandStringMemory;

CommandString::CommandString() : buffer_(nullptr), emptyText_{'\0'} {
    buffer_ = static_cast<char*>(allocateText(1));
    if (buffer_ != nullptr) buffer_[0] = '\0';
}

CommandString::~CommandString() {
    if (buffer_ != nullptr) releaseText(buffer_);
}

CommandString& CommandString::appendText(const char* text) {
    return appendText(text, text != nullptr ? strlen(text) : 0);
}

CommandString& CommandString::appendText(const char* text, size_t length) {
    if (buffer_ == nullptr || length == 0) return *this;
    const size_t oldLength = strlen(buffer_);
    char* grown = static_cast<char*>(allocateText(oldLength + length + 1));
    if (grown == nullptr) return *this;
    memcpy(grown, buffer_, oldLength);
    memcpy(grown + oldLength, text, length);
    grown[oldLength + length] = '\0';
    releaseText(buffer_);
    buffer_ = grown;
    return *this;
}

CommandString& CommandString::appendChar(char c) {
    const char text[2] = {c, '\0'};
    return appendText(text);
}

CommandString& CommandString::appendDecimal(int value) {
    // The magnitude as unsigned, so that the most negative value needs no special case.
    return appendDigits(
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value), value < 0);
}

CommandString& CommandString::appendDigits(unsigned magnitude, bool negative) {
    char digits[12];
    char* at = digits + sizeof digits;
    *--at = '\0';
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) *--at = '-';
    return appendText(at);
}
