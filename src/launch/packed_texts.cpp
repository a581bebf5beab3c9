#include "packed_texts.h"

const char* packedText(const char* texts, unsigned index) {
    for (; index > 0; --index) texts = nextText(texts);
    return texts;
}
