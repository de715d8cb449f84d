#include "chunkedtext.h"

#include <algorithm>
#include <cwchar>

void ChunkedText::Reserve(size_t characters) {
    // Room for the text and a terminating NUL.
    size_t needed = (characters + 1) / kChunkSize + 1;
    if (needed <= chunks_.size()) return;
    chunks_.reserve(std::max(needed, chunks_.size() * 2));
    while (chunks_.size() < needed) chunks_.emplace_back(new wchar_t[kChunkSize]);
}

void ChunkedText::PlaceCursor() noexcept {
    if (chunks_.empty()) return;
    size_t offset = length_ % kChunkSize;
    cursor_ = chunks_[length_ / kChunkSize].get() + offset;
    room_ = kChunkSize - offset;
}

void ChunkedText::AppendAcrossChunks(const wchar_t* text, size_t length) {
    if (!text || length == 0) return;
    Reserve(length_ + length);
    size_t chunk = length_ / kChunkSize;
    size_t offset = length_ % kChunkSize;
    while (length > 0) {
        size_t piece = std::min(length, kChunkSize - offset);
        std::wmemcpy(chunks_[chunk].get() + offset, text, piece);
        text += piece;
        length -= piece;
        length_ += piece;
        ++chunk;
        offset = 0;
    }
    PlaceCursor();
}

void ChunkedText::Clear() noexcept {
    length_ = 0;
    if (!chunks_.empty()) chunks_[0][0] = L'\0';
    PlaceCursor();
}

void ChunkedText::CopyTo(wchar_t* destination) const noexcept {
    size_t whole = length_ / kChunkSize;
    for (size_t i = 0; i < whole; ++i, destination += kChunkSize)
        std::wmemcpy(destination, chunks_[i].get(), kChunkSize);
    size_t rest = length_ % kChunkSize;
    if (rest) std::wmemcpy(destination, chunks_[whole].get(), rest);
    destination[rest] = L'\0';
}
