#include "store/WordBatch.h"

#include <utility>

namespace mnemora {

void WordBatch::Append(const WordRecord& record) {
    auto* node = new Node{{sentinel_.prev, &sentinel_}, record};
    sentinel_.prev->next = node;
    sentinel_.prev = node;
    ++count_;
}

void WordBatch::Append(WordRecord&& record) {
    auto* node = new Node{{sentinel_.prev, &sentinel_}, std::move(record)};
    sentinel_.prev->next = node;
    sentinel_.prev = node;
    ++count_;
}

WordBatch::Position WordBatch::Erase(Position p) {
    Link* next = p->next;
    p->prev->next = next;
    next->prev = p->prev;
    delete static_cast<Node*>(p);
    --count_;
    return next;
}

WordBatch::Position WordBatch::InsertBefore(Position p, const WordRecord& record) {
    auto* node = new Node{{p->prev, p}, record};
    p->prev->next = node;
    p->prev = node;
    ++count_;
    return node;
}

void WordBatch::Clear() {
    Link* p = sentinel_.next;
    while (p != &sentinel_) {
        Link* next = p->next;
        delete static_cast<Node*>(p);
        p = next;
    }
    sentinel_.prev = sentinel_.next = &sentinel_;
    count_ = 0;
}

} // namespace mnemora
