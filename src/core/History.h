#pragma once
// The history of one calculation unit: records kept in ascending order of
// temperature by an exchange sort whose exact order of comparisons decides the
// order of equal temperatures (it is not stable, and that is part of the
// behaviour). Each entry carries a serial number so that the entry of the
// latest calculation can be followed through every reordering and deletion.
#include "NumberText.h"

#include <QList>
#include <QStringList>
#include <optional>
#include <utility>

namespace prolis {

template <typename Record> class History {
public:
    struct Entry {
        Record record;
        quint64 serial = 0;
    };

    int size() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const Record& at(int i) const { return m_entries[i].record; }
    Record& operator[](int i) { return m_entries[i].record; }

    // Appends a record and returns its serial number.
    quint64 append(Record r) {
        m_entries.append(Entry{std::move(r), ++m_nextSerial});
        return m_nextSerial;
    }

    // The index of the entry with this serial number, if it is still there.
    std::optional<int> indexOf(quint64 serial) const {
        for (int i = 0; i < size(); ++i)
            if (m_entries[i].serial == serial) return i;
        return std::nullopt;
    }

    // For i from 0 to n-2 and j from i+1 to n-1: exchange entries i and j when
    // the temperature of i is greater. `temperature` reads a record's whole
    // number of degrees; each is read once.
    template <typename TemperatureOf> void sortByTemperature(TemperatureOf temperature) {
        const int n = size();
        if (n < 2) return;
        // The exchanges are played on positions and the entries moved once
        // at the end: an entry is many texts, a position one number.
        QList<int> t, at;
        t.reserve(n);
        at.reserve(n);
        for (int i = 0; i < n; ++i) {
            t.append(temperature(m_entries[i].record));
            at.append(i);
        }
        bool exchanged = false;
        for (int i = 0; i < n - 1; ++i)
            for (int j = i + 1; j < n; ++j)
                if (t[i] > t[j]) {
                    std::swap(at[i], at[j]);
                    std::swap(t[i], t[j]);
                    exchanged = true;
                }
        if (!exchanged) return;
        QList<Entry> sorted;
        sorted.reserve(n);
        for (int i : at)
            sorted.append(std::move(m_entries[i]));
        m_entries = std::move(sorted);
    }

    // Every entry removed; serial numbers go on from where they were, so a
    // serial held from before never names a new entry.
    void clear() { m_entries.clear(); }

    // Deletes entry i: the last entry is dropped; any other is overwritten by
    // the last, which is then dropped.
    void remove(int i) {
        const int last = size() - 1;
        if (i != last) m_entries[i] = std::move(m_entries[last]);
        m_entries.removeLast();
    }

private:
    QList<Entry> m_entries;
    quint64 m_nextSerial = 0;
};

// The whole number of degrees of a record's temperature text.
inline int temperatureValue(const QString& text) {
    return textToInt(text.trimmed());
}

} // namespace prolis
