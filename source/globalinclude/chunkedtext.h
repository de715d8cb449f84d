#pragma once
// Text kept in fixed chunks that never move once allocated: appending never copies
// what was written before; the whole text is copied once, when it is taken out.
#include <cstddef>
#include <memory>
#include <vector>

class ChunkedText {
public:
    static constexpr size_t kChunkSize = 2056;

    // Throws std::bad_alloc when a chunk cannot be allocated; the text is unchanged then.
    void Append(const wchar_t* text, size_t length);
    // Length 0; the chunks stay allocated for reuse.
    void Clear() noexcept;
    size_t Length() const noexcept { return length_; }
    size_t ChunkCount() const noexcept { return chunks_.size(); }
    // Copies the text and a terminating NUL: destination has room for Length() + 1.
    void CopyTo(wchar_t* destination) const noexcept;

private:
    void Reserve(size_t characters);

    // The table of chunk pointers grows geometrically; the chunks themselves stay put.
    std::vector<std::unique_ptr<wchar_t[]>> chunks_;
    size_t length_ = 0;
};
