#pragma once
// Text kept in fixed chunks that never move once allocated: appending never copies
// what was written before; the whole text is copied once, when it is taken out.
#include <cstddef>
#include <cwchar>
#include <memory>
#include <vector>

class ChunkedText {
public:
    // 64 KB: ten million characters take 306 allocations instead of 4,900 at 4 KB; each
    // allocation, its freeing and the table's growth cost user time a memcpy does not.
    static constexpr size_t kChunkSize = 32768;

    // Throws std::bad_alloc when a chunk cannot be allocated; the text is unchanged then.
    void Append(const wchar_t* text, size_t length) {
        // Most pieces are short and fit the current chunk (always leaving room there).
        if (text && length < room_) {
            std::wmemcpy(cursor_, text, length);
            cursor_ += length;
            room_ -= length;
            length_ += length;
            return;
        }
        AppendAcrossChunks(text, length);
    }
    // Length 0; the chunks stay allocated for reuse.
    void Clear() noexcept;
    size_t Length() const noexcept { return length_; }
    size_t ChunkCount() const noexcept { return chunks_.size(); }
    // Copies the text and a terminating NUL: destination has room for Length() + 1.
    void CopyTo(wchar_t* destination) const noexcept;

private:
    void AppendAcrossChunks(const wchar_t* text, size_t length);
    void Reserve(size_t characters);
    void PlaceCursor() noexcept;

    // The table of chunk pointers grows geometrically; the chunks themselves stay put.
    std::vector<std::unique_ptr<wchar_t[]>> chunks_;
    size_t length_ = 0;
    wchar_t* cursor_ = nullptr;  // where the next character goes
    size_t room_ = 0;            // characters left in the cursor's chunk
};
