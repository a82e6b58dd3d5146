#pragma once

#include <QHash>
#include <optional>
#include <utility>

namespace tavim {

// What a run remembers by key (a font's measurer, a text's width, a resolved
// font) is bounded against hostile input, whose every key may be new: a full
// cache forgets everything and fills again. A report's few keys refill it at
// once, which costs less than keeping an eviction order on every look-up.
// Look-ups come in runs of one key (the texts of a line share a font), so the
// last key found is tried before the hash.
// Owned by one thread, or guarded by its owner's lock; never copied once used.
template <class Key, class Value> class BoundedCache {
public:
    explicit BoundedCache(qsizetype limit) : m_limit(limit) {}
    BoundedCache(const BoundedCache&) = delete;
    BoundedCache& operator=(const BoundedCache&) = delete;

    // The value kept for `key`, or null; valid until the next insert.
    const Value* find(const Key& key) {
        if (m_last && *m_lastKey == key)
            return m_last;
        const auto found = m_items.find(key);
        if (found == m_items.end())
            return nullptr;
        return remember(key, *found);
    }

    const Value& insert(const Key& key, Value value) {
        if (m_items.size() >= m_limit && !m_items.contains(key))
            m_items.clear();
        return *remember(key, *m_items.insert(key, std::move(value)));
    }

    qsizetype size() const { return m_items.size(); }

private:
    const Value* remember(const Key& key, Value& value) {
        m_lastKey = key;
        m_last = &value;
        return m_last;
    }

    QHash<Key, Value> m_items;
    qsizetype m_limit;
    std::optional<Key> m_lastKey;
    const Value* m_last = nullptr;
};

} // namespace tavim
