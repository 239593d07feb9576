// Cutting a message text into the rows of a box.
#pragma once

#include <functional>

// Cuts text into at most maxRows rows of at most rowSize - 1 characters.
// A row ends at '/' (dropped); with a width measure, a row that would reach
// maxWidth ends at its last blank or '/' (dropped), or, with neither, right
// after its last character that fits. Returns the row count.
using RowWidthFn = std::function<float(const char* text, int length)>;
int CutMessageRows(const char* text, char (*rows)[128], int maxRows, const RowWidthFn& width, float maxWidth);
