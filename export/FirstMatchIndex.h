#pragma once
// A map from table text to a value that keeps the first value added for each key, for the
// export's lookups over tables of up to hundreds of thousands of records. Open addressing
// over a flat array of slots (the key's hash and the entry's place), so a lookup reads the
// slot array and then one entry, instead of the chain of separately allocated nodes a
// std::unordered_map walks: at that size every step of the chain is a cache miss.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

template <class V> class FirstMatchIndex {
public:
    explicit FirstMatchIndex(size_t expected = 0) { rebuild(capacityFor(expected)); }

    // Adds the entry unless the key is already there.
    void add(std::string key, V value) {
        if (2 * (m_entries.size() + 1) > m_slots.size())
            rebuild(2 * m_slots.size());
        const size_t hash = std::hash<std::string_view>()(key);
        size_t at = hash & (m_slots.size() - 1);
        for (; m_slots[at].entry != 0; at = (at + 1) & (m_slots.size() - 1))
            if (m_slots[at].hash == static_cast<std::uint32_t>(hash) && m_entries[m_slots[at].entry - 1].first == key)
                return;
        m_entries.emplace_back(std::move(key), std::move(value));
        m_slots[at] = {static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(m_entries.size())};
    }

    // The value of the key; null when it was never added.
    const V *find(std::string_view key) const {
        const size_t hash = std::hash<std::string_view>()(key);
        for (size_t at = hash & (m_slots.size() - 1); m_slots[at].entry != 0; at = (at + 1) & (m_slots.size() - 1))
            if (m_slots[at].hash == static_cast<std::uint32_t>(hash) && m_entries[m_slots[at].entry - 1].first == key)
                return &m_entries[m_slots[at].entry - 1].second;
        return nullptr;
    }

private:
    struct Slot {
        std::uint32_t hash = 0;  // the low bits of the key's hash
        std::uint32_t entry = 0; // the entry's place + 1; 0: empty
    };

    // A power of two, at least twice the entries expected.
    static size_t capacityFor(size_t entries) {
        size_t capacity = 16;
        while (capacity < 2 * entries)
            capacity *= 2;
        return capacity;
    }

    void rebuild(size_t capacity) {
        m_slots.assign(capacity, Slot());
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const size_t hash = std::hash<std::string_view>()(m_entries[i].first);
            size_t at = hash & (capacity - 1);
            while (m_slots[at].entry != 0)
                at = (at + 1) & (capacity - 1);
            m_slots[at] = {static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(i + 1)};
        }
    }

    std::vector<Slot> m_slots;
    std::vector<std::pair<std::string, V>> m_entries;
};
