// The text rules for the launcher's own folder and the user's documents folder, by letters of the
// launcher's code page.
#pragma once

// Ends a module path right after its last backslash, so that the folder keeps that backslash.
void trimToFolder(char* modulePath);

// Drops a trailing backslash, except from a drive root such as C:\ (three characters or fewer).
void trimDocumentsFolder(char* folder);
