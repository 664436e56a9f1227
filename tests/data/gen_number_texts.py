#!/usr/bin/env python3
"""Reference number texts for the formatter test, from Python's exact decimals.

Each line: the double as float.hex, then general, fixed(1), fixed(2), fixed(4)
(precision 15) and the three-decimal format (precision 6). The rounding is
written independently of the program: Decimal(x) is the exact binary value,
quantized with ROUND_HALF_UP to the significant digits and then to the decimals.
Run: python3 tests/data/gen_number_texts.py > tests/data/number_texts.tsv
"""
import random
from decimal import Decimal, ROUND_HALF_UP, getcontext

getcontext().prec = 1000


def sig(x, p):
    d = Decimal(x)
    if d == 0:
        return Decimal(0)
    q = Decimal(1).scaleb(d.adjusted() - p + 1)
    return d.quantize(q, rounding=ROUND_HALF_UP)


def sci(r):
    t = r.normalize()
    sign = '-' if t < 0 else ''
    digits = str(abs(t).as_tuple().digits and ''.join(map(str, abs(t).as_tuple().digits)))
    e = t.adjusted()
    mant = digits[0] + (',' + digits[1:] if len(digits) > 1 else '')
    return f"{sign}{mant}E{e}"


def fixed(x, dec, p):
    r = sig(x, p)
    if r == 0:
        return '0' + (',' + '0' * dec if dec else '')
    if r.adjusted() + 1 > p:
        return sci(r)
    r2 = r.quantize(Decimal(1).scaleb(-dec), rounding=ROUND_HALF_UP)
    s = format(r2, 'f').replace('.', ',')
    if r2 == 0:
        s = s.lstrip('-')
    return s


def general(x):
    r = sig(x, 15)
    if r == 0:
        return '0'
    e = r.adjusted() + 1
    if e > 15 or e < -3:
        return sci(r)
    return format(r.normalize(), 'f').replace('.', ',')


def samples():
    rnd = random.Random(20261209)
    out = [0.125, 2.675, 1204.675, -2.675, -0.001, 2.9996, 1.0005, 0.0001, 0.00001, 1 / 3, 1234567.0, 1e20,
           0.5, 1.5, 2.5, -0.5, 999999.5, 9999999.0, 1e15, 1e16 - 2, 123456789012345.5, 0.00015, 5e-5]
    for _ in range(1500):
        out.append(rnd.choice([-1, 1]) * 10 ** rnd.uniform(-8, 20))
    for _ in range(1000):  # decimals with few digits: many halves at the rounding places
        out.append(rnd.choice([-1, 1]) * rnd.randint(0, 10 ** rnd.randint(1, 9)) / 10 ** rnd.randint(0, 6))
    for _ in range(500):  # exact binary halves
        out.append(rnd.randint(-10 ** 6, 10 ** 6) / 2 ** rnd.randint(1, 12))
    for _ in range(1000):  # values near the result range of the calculations
        out.append(rnd.uniform(-5000, 5000))
    return out


def main():
    for x in samples():
        print('\t'.join([float(x).hex(), general(x), fixed(x, 1, 15), fixed(x, 2, 15), fixed(x, 4, 15), fixed(x, 3, 6)]))


if __name__ == '__main__':
    main()
