// The list view's radix-then-compare sort against std::stable_sort on random input.
#include "platform/ui/PrefixSort.h"

#include <QRandomGenerator>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace ui;

namespace
{

struct Value {
    QString text;
    quint64 number = 0;
    int id = 0; // the position before sorting: shows whether equals kept their order
};

std::vector<int> ids(const std::vector<Value> &values)
{
    std::vector<int> out;
    for (const Value &v : values)
        out.push_back(v.id);
    return out;
}

// Sorts a copy both ways and answers whether they agree; on a mismatch says where.
template <typename PrefixOf, typename Less>
::testing::AssertionResult sortsAsStableSort(std::vector<Value> values, PrefixOf prefixOf, Less less)
{
    for (size_t i = 0; i < values.size(); ++i)
        values[i].id = int(i);
    std::vector<Value> expected = values;
    std::stable_sort(expected.begin(), expected.end(), less);
    prefixSort(values, prefixOf, less);
    const std::vector<int> got = ids(values);
    const std::vector<int> want = ids(expected);
    if (got == want)
        return ::testing::AssertionSuccess();
    const auto at = std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
    return ::testing::AssertionFailure() << values.size() << " values differ first at " << at << ": got id "
                                         << got[size_t(at)] << ", want " << want[size_t(at)];
}

quint64 foldedPrefix(const QString &text)
{
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i)
        prefix = (prefix << 16) | (i < text.size() ? text.at(i).toLower().unicode() : 0);
    return prefix;
}

// Texts that tie often: few letters, both cases, and lengths around the four-character prefix.
std::vector<Value> randomTexts(QRandomGenerator &rng, int n, const QString &lead = QString())
{
    const QString letters = QStringLiteral("aAbBz");
    std::vector<Value> values(static_cast<size_t>(n));
    for (Value &v : values) {
        v.text = lead;
        for (int k = int(rng.bounded(0, 7)); k > 0; --k)
            v.text += letters.at(int(rng.bounded(0, int(letters.size()))));
    }
    return values;
}

const int sizes[] = {0, 1, 2, 17, 1023, 1024, 1025, 5000, 40000};

} // namespace

TEST(PrefixSortTest, TextsIgnoringCaseInBothOrdersMatchAStableSort)
{
    QRandomGenerator rng(7);
    const auto ascending = [](const Value &a, const Value &b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    };
    const auto descending = [](const Value &a, const Value &b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) > 0;
    };
    for (const int n : sizes) {
        SCOPED_TRACE(n);
        const std::vector<Value> values = randomTexts(rng, n);
        EXPECT_TRUE(sortsAsStableSort(
            values, [](const Value &v) { return foldedPrefix(v.text); }, ascending));
        EXPECT_TRUE(sortsAsStableSort(
            values, [](const Value &v) { return ~foldedPrefix(v.text); }, descending));
        // One long run of equal prefix: the order is left to the comparison alone.
        const std::vector<Value> sameStart = randomTexts(rng, n, QStringLiteral("Chan"));
        EXPECT_TRUE(sortsAsStableSort(
            sameStart, [](const Value &v) { return foldedPrefix(v.text); }, ascending));
    }
}

TEST(PrefixSortTest, NumbersWhosePrefixIsACoarserNumberMatchAStableSort)
{
    QRandomGenerator rng(19);
    const auto less = [](const Value &a, const Value &b) { return a.number < b.number; };
    for (const int n : sizes) {
        SCOPED_TRACE(n);
        // Every 16-bit lane varies somewhere, and many numbers repeat.
        std::vector<Value> wide(static_cast<size_t>(n));
        for (Value &v : wide)
            v.number = rng.generate64() & 0xF00F00F00F00F00Full;
        EXPECT_TRUE(sortsAsStableSort(
            wide, [](const Value &v) { return v.number; }, less));
        // Only the top bits in the prefix; the lanes below stay equal and their passes are skipped.
        std::vector<Value> coarse(static_cast<size_t>(n));
        for (Value &v : coarse)
            v.number = (quint64(rng.bounded(0, 5)) << 60) | rng.bounded(0, 100);
        EXPECT_TRUE(sortsAsStableSort(
            coarse, [](const Value &v) { return v.number >> 48; }, less));
        // Already in order and all equal: nothing moves.
        std::vector<Value> equal(static_cast<size_t>(n));
        EXPECT_TRUE(sortsAsStableSort(
            equal, [](const Value &) { return quint64(3); }, less));
    }
}
