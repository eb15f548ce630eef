// A stable sort for many values whose order mostly shows in a number of their own: radix
// passes over the numbers first, then the full comparison only inside runs of equal number.
// The list view sorts its rows with it, by the first characters of their texts.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <utility>
#include <vector>

namespace ui
{

// Sorts values stably by less. prefixOf(value) answers a quint64 whose order agrees with less:
// when prefixOf(a) < prefixOf(b), less(a, b) holds; equal prefixes leave the order to less.
template <typename T, typename PrefixOf, typename Less>
void prefixSort(std::vector<T> &values, PrefixOf prefixOf, Less less)
{
    // Below this many values the passes over a table of 65,536 counts cost more than they save.
    constexpr size_t radixFrom = 1024;
    if (values.size() < radixFrom) {
        std::stable_sort(values.begin(), values.end(), less);
        return;
    }
    // Sixteen bits per pass from the lowest; each pass keeps the order of the one before.
    std::vector<T> spare(values.size());
    std::vector<quint32> counts(0x10000);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const T &v : values)
            ++counts[(quint64(prefixOf(v)) >> shift) & 0xFFFF];
        if (std::find(counts.begin(), counts.end(), quint32(values.size())) != counts.end())
            continue; // every value has the same bits here
        quint32 at = 0;
        for (quint32 &c : counts)
            at += std::exchange(c, at);
        for (const T &v : values)
            spare[counts[(quint64(prefixOf(v)) >> shift) & 0xFFFF]++] = v;
        values.swap(spare);
    }
    for (auto run = values.begin(); run != values.end();) {
        const quint64 prefix = prefixOf(*run);
        const auto end =
            std::find_if(run + 1, values.end(), [&](const T &v) { return quint64(prefixOf(v)) != prefix; });
        if (!std::is_sorted(run, end, less))
            std::stable_sort(run, end, less);
        run = end;
    }
}

} // namespace ui
