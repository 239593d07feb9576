#include "game/MessageRows.h"

#include <cstring>

namespace {

constexpr int kRowSize = 128;

void StoreRow(char* row, const char* from, int length)
{
    std::memcpy(row, from, static_cast<std::size_t>(length));
    row[length] = '\0';
}

// Index of the last blank or '/' in the piece, or -1.
int LastCutPoint(const char* piece, int length)
{
    for (int i = length - 1; i >= 0; --i)
        if (piece[i] == ' ' || piece[i] == '/')
            return i;
    return -1;
}

} // namespace

int CutMessageRows(const char* text, char (*rows)[128], int maxRows, const RowWidthFn& width, float maxWidth)
{
    const int length = static_cast<int>(std::strlen(text));
    int count = 0;
    int p = 0;
    while (p < length && count < maxRows) {
        const char* piece = text + p;
        int n = 0;
        int fits = 0; // characters that fit when the piece is full
        bool slash = false;
        bool full = false;
        while (p + n < length) {
            if (n == kRowSize - 1) {
                full = true;
                fits = n;
                break;
            }
            ++n;
            if (piece[n - 1] == '/') {
                slash = true;
                break;
            }
            if (width && width(piece, n) >= maxWidth) {
                full = true;
                fits = n - 1;
                break;
            }
        }
        int kept = n;
        int skipped = 0;
        if (slash) {
            kept = n - 1;
            skipped = 1;
        } else if (full) {
            const int cut = LastCutPoint(piece, n);
            if (cut >= 0) {
                kept = cut;
                skipped = 1;
            } else {
                // No place to cut: keep what fits, at least one character.
                kept = fits > 0 ? fits : 1;
            }
        }
        StoreRow(rows[count++], piece, kept);
        p += kept + skipped;
    }
    return count;
}
