#pragma once

#include "store/WordRecord.h"

#include <cstddef>

namespace mnemora {

// The batch of loaded words: a doubly linked list with a sentinel that serves as the
// end position. It is circular through the end position: Next(end()) is the first
// entry and Prev(end()) the last, which the previous/next-word keys rely on.
// Positions stay valid while entries are modified; only Clear invalidates them.
class WordBatch final {
    struct Link {
        Link* prev;
        Link* next;
    };
    struct Node : Link {
        WordRecord record;
    };

public:
    using Position = Link*;

    WordBatch() { sentinel_.prev = sentinel_.next = &sentinel_; }
    ~WordBatch() { Clear(); }
    WordBatch(const WordBatch&) = delete;
    WordBatch& operator=(const WordBatch&) = delete;

    Position begin() const { return sentinel_.next; }
    Position end() const { return const_cast<Link*>(&sentinel_); }
    static Position Next(Position p) { return p->next; }
    static Position Prev(Position p) { return p->prev; }

    // The record at p; p must not be end().
    static WordRecord& At(Position p) { return static_cast<Node*>(p)->record; }

    void Append(const WordRecord& record);
    void Append(WordRecord&& record);
    void Clear();
    // Takes the entry at p out of the batch (p must not be end()) and returns the
    // position after it; every other position stays valid.
    Position Erase(Position p);
    // Puts a copy of record before p (end() appends) and returns its position.
    Position InsertBefore(Position p, const WordRecord& record);
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }

private:
    Link sentinel_{};
    std::size_t count_ = 0;
};

} // namespace mnemora
