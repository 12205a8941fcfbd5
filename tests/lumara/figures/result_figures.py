#!/usr/bin/env python3
"""Expected figures of the result tests (tst_resultcalculate.cpp), worked out here from the
formulas alone. Run it and copy the printed literals; nothing in the build runs it."""
import math

def conc(total, pos, dil=1.0, vol=800.0):
    """Poisson concentration (cp/uL) with 95 % bounds; volume in pL; dilution -1 counts as 1."""
    if dil == -1:
        dil = 1.0
    if total == 0:
        return (0.0, 0.0, 0.0)
    p = pos / total
    v = (1 - p) * p / total
    s = 1.96 * math.sqrt(v) if v >= 0 else math.nan
    def c(x):
        try:
            return -math.log(1 - x) * 1e6 * dil / vol
        except ValueError:  # log of 0 or of a negative number
            return math.inf if 1 - x == 0 else math.nan
    return (c(p), c(p - s), c(p + s))

def rel_unc(k, v_ul, n, dil):
    p = k / n; q = 1 - p; s = 1.96 * math.sqrt(q * p / n)
    if q - s < 0:
        return -1.0
    f = -dil / v_ul
    c = math.log(q) * f
    hi = math.log(q - s) * f if q - s > 0 else math.inf
    lo = math.log(q + s) * f
    return (hi - lo) / (2 * c)

def half_up(x):
    return math.floor(x + 0.5)

def curve(n, k, dil=1.0, vol=800.0):
    if dil == -1:
        dil = 1.0
    v = vol / 1e6
    c = conc(n, k, dil, vol)[0]
    out = dict(concentration=c, detection=3 / (n * v) if n else math.inf, upper=8.5 / v,
               k0=None, cref=0.0, uref=0.0, points=0, uat=0.0, first=None, last=None)
    if n == 0:
        return out
    k0 = half_up(0.797 * n)
    out['k0'] = k0
    out['cref'] = -math.log(1 - k0 / n) * dil / v if k0 < n else math.inf
    pts = []
    for kk in range(1, n):
        u = rel_unc(kk, v, n, dil)
        if u == -1:
            continue
        ck = -math.log(1 - kk / n) * dil / v
        if ck - c < 1e-6:
            out['uat'] = 100 * u
        pts.append((kk, ck, 100 * u))
    out['uref'] = 100 * rel_unc(k0, v, n, dil) if k0 < n else math.nan
    out['points'] = len(pts)
    if pts:
        out['first'] = pts[0]; out['last'] = pts[-1]
        if pts[-1][1] > out['upper']:
            out['upper'] = pts[-1][1] + 1
    return out

def ratio_bounds(a, b):
    a0, a1, a2 = a; b0, b1, b2 = b
    dl = b0 * b0 - (b2 - b0) ** 2
    dh = b0 * b0 - (b0 - b1) ** 2
    lo = (a0 * b0 - math.sqrt(a0 * a0 * b0 * b0 - (a0 * a0 - (a0 - a1) ** 2) * dl)) / dl
    hi = (a0 * b0 + math.sqrt(a0 * a0 * b0 * b0 - (a0 * a0 - (a2 - a0) ** 2) * dh)) / dh
    return lo, hi

def show(name, values):
    print(name, ', '.join(repr(float(x)) if not isinstance(x, int) else str(x) for x in values))

if __name__ == '__main__':
    print('# poissonConcentration (total, positive, dilution, volume)')
    for args in [(20000, 1, 1, 800), (20000, 2000, 1, 800), (20000, 2000, 2, 800), (20000, 2000, 1, 600),
                 (20000, 20000, 1, 800), (0, 0, 1, 800)]:
        show(str(args), conc(*args))
    print('# relativeUncertainty (k, V uL, N, dilution)')
    for args in [(7, 8e-4, 10, 1), (8, 8e-4, 10, 1), (2000, 8e-4, 20000, 3)]:
        show(str(args), [rel_unc(*args)])
    print('# curves (N, k, dilution, volume)')
    for args in [(1000, 100, 1, 800), (20000, 2000, 1, 800), (500, 50, 1, 800), (1, 0, 1, 800), (0, 0, 1, 800)]:
        print(args, curve(*args))
    print('# ratio bounds')
    show('symmetric', ratio_bounds((100, 90, 110), (50, 45, 55)))
    show('asymmetric', ratio_bounds((100, 80, 130), (50, 40, 65)))
    show('zero estimate', ratio_bounds((100, 90, 110), (0, 1, 3)))
    print('# copies of 3000 positives in 20000 droplets of 800 pL: -ln(1 - p) N')
    show('copies', [-math.log(1 - 3000 / 20000) * 20000])
    print('# population results')
    show('flag off 150 of 20000, 800 pL', conc(20000, 150))
    show('flag on 15 of 120, 800 pL', conc(120, 15))
    show('600 pL, dilution 2: 150 of 1000', conc(1000, 150, 2, 600))
    show('600 pL, dilution -1: 15 of 120', conc(120, 15, -1, 600))
    show('line: 5 of 19, dilution 2', conc(19, 5, 2))
    show('line: 4 of 19, dilution -1', conc(19, 4, -1))
    for name, c in [('u flag off', conc(20000, 150)), ('u flag on', conc(120, 15)),
                    ('u line 5/19', conc(19, 5, 2)), ('u line 4/19', conc(19, 4))]:
        show(name, [(c[2] - c[1]) / (2 * c[0])])
    show('600 pL, dilution 2: 15 of 120', conc(120, 15, 2, 600))
    show('u 600 pL dilution 2: 150 of 1000', [(lambda c: (c[2] - c[1]) / (2 * c[0]))(conc(1000, 150, 2, 600))])
    show('u 600 pL dilution 2: 15 of 120', [(lambda c: (c[2] - c[1]) / (2 * c[0]))(conc(120, 15, 2, 600))])
    show('overlap 20110 of 20000', conc(20000, 20110))
    print('# curve of the stored line population: N 19, dilution 2, estimate 5 of 19')
    c = curve(19, 5, 2)
    print(c)
    print('# curve N = 2500, k = 250', curve(2500, 250))
