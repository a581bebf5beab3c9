// Puts a text on the splash window's status line from any thread.
#pragma once

// Posts a heap copy of text in UTF-16 (or null, to clear the line) that the window frees after
// drawing it, so the caller may free or change its own text at once. True when the message was
// queued.
bool postStatus(const char* text);
