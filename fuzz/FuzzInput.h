#pragma once
// Taking a fuzz input apart: a few bytes for choices, raw doubles for a
// material's constants (finite, as the database gives them), and texts for
// the window's fields.
#include "domain/Data.h"

#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace prolis::fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    double number() {
        double v = 0;
        if (m_pos + sizeof v <= m_size) std::memcpy(&v, m_data + m_pos, sizeof v);
        m_pos += sizeof v;
        return std::isfinite(v) ? v : 0.0;
    }
    // The rest, split at '|' into `count` field texts.
    QStringList fields(int count) {
        QStringList f;
        if (m_pos < m_size)
            f = QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_pos),
                                  static_cast<qsizetype>(m_size - m_pos))
                    .split(QLatin1Char('|'));
        while (f.size() < count)
            f.append(QString());
        return f.mid(0, count);
    }

    // A material: the worked example, with constants replaced when the input
    // holds a flag for it.
    Data material() {
        Data d;
        d.nazev = QStringLiteral("Fuzz");
        d.rp = 350;
        d.teplo = 20;
        d.pol_a = 800;
        d.pol_b = 0.2;
        d.ppol_a = 0.6667;
        d.ppol_b = 1.2;
        d.fimax = 1.4;
        const uint8_t flags = byte();
        if (flags & 1) d.pol_a = number(), d.pol_b = number(), d.pol_c = number();
        if (flags & 2) d.ppol_a = number(), d.ppol_b = number(), d.ppol_c = number();
        if (flags & 4)
            for (double& v : d.pn3)
                v = number();
        if (flags & 8)
            for (size_t i = 0; i < 3; ++i)
                d.ppn[i] = number();
        if (flags & 16)
            d.rlff[0] = number(), d.rlff[1] = number(), d.rlfd[0] = number(), d.rlfd[1] = number();
        if (flags & 32) d.fimax = number(), d.rp = number();
        return d;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace prolis::fuzz
