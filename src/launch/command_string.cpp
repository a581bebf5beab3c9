#include "command_string.h"

#include <stdlib.h>
#include <string.h>

namespace {

// Local functions, so that the table below is a link-time constant: the launcher's entry runs no
// dynamic initializers.
void* heapAllocate(size_t size) {
    return malloc(size);
}
void heapRelease(void* block) {
    free(block);
}

}  // namespace

CommandStringMemory commandStringMemory = {heapAllocate, heapRelease};

CommandString::CommandString() : buffer_(nullptr), emptyText_{'\0'} {
    buffer_ = static_cast<char*>(commandStringMemory.allocate(1));
    if (buffer_ != nullptr) buffer_[0] = '\0';
}

CommandString::~CommandString() {
    if (buffer_ != nullptr) commandStringMemory.release(buffer_);
}

CommandString& CommandString::appendText(const char* text) {
    if (buffer_ == nullptr || text == nullptr || text[0] == '\0') return *this;
    const size_t oldLength = strlen(buffer_);
    const size_t addedLength = strlen(text);
    char* grown = static_cast<char*>(commandStringMemory.allocate(oldLength + addedLength + 1));
    if (grown == nullptr) return *this;
    memcpy(grown, buffer_, oldLength);
    memcpy(grown + oldLength, text, addedLength + 1);
    commandStringMemory.release(buffer_);
    buffer_ = grown;
    return *this;
}

CommandString& CommandString::appendChar(char c) {
    const char text[2] = {c, '\0'};
    return appendText(text);
}

CommandString& CommandString::appendDecimal(int value) {
    // Work on the magnitude as unsigned so that the most negative value needs no special case.
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char digits[12];
    char* at = digits + sizeof digits;
    *--at = '\0';
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--at = '-';
    return appendText(at);
}
