// Files that failed to load, remembered so that each is reported once: a
// missing description is asked for again by every car, tree or prop built
// from it, and a modal box per request would stop the game for good.
#pragma once

// 1 the first time a file is named here since the data was last opened
// (CFileManager::Init), 0 after that. Once the table is full every further
// file counts as reported.
int FirstFailureOf(const char* file);
// Forgets every file named so far.
void ForgetFileFailures();
