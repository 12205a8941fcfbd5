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

def curve_old_uat(n, c, dil=1.0, vol=800.0):
    """What a curve over n droplets gave at the estimate c by its last point at or below it."""
    v = vol / 1e6
    uat = 0.0
    for kk in range(1, n):
        u = rel_unc(kk, v, n, dil)
        if u != -1 and -math.log(1 - kk / n) * dil / v - c < 1e-6:
            uat = 100 * u
    return uat

def half_up(x):
    return math.floor(x + 0.5)

def curve(n, k, dil=1.0, vol=800.0):
    if dil == -1:
        dil = 1.0
    v = vol / 1e6
    c = conc(n, k, dil, vol)[0]
    # At the measured count: the well's own relative uncertainty, in percent.
    out = dict(concentration=c, detection=3 / (n * v) if n else math.inf, upper=8.5 / v,
               k0=None, cref=0.0, uref=0.0, points=0, uat=100 * well_unc(conc(n, k, dil, vol)),
               first=None, last=None)
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
        pts.append((kk, ck, 100 * u))
    out['uref'] = 100 * rel_unc(k0, v, n, dil) if k0 < n else math.nan
    out['points'] = len(pts)
    if pts:
        out['first'] = pts[0]; out['last'] = pts[-1]
        if pts[-1][1] > out['upper']:
            out['upper'] = pts[-1][1] + 1
    return out

def well_unc(c):
    """A well's relative uncertainty (a fraction): half the interval over the estimate; NaN
    where the estimate is 0 or a figure has no value."""
    if c[0] == 0 or not all(math.isfinite(x) for x in c):
        return math.nan
    return (c[2] - c[1]) / (2 * c[0])

def ratio_bounds(a, b):
    """Bounds of a / b from the roots of (a0 - r b0)^2 = da^2 + r^2 db^2; a bound whose
    quadratic does not open upwards (the denominator's interval reaches 0) is unbounded.
    None when the denominator's estimate and one of its bounds are 0."""
    a0, a1, a2 = a; b0, b1, b2 = b
    if b0 == 0 and (b1 == 0 or b2 == 0):
        return None
    dl = b0 * b0 - (b2 - b0) ** 2
    dh = b0 * b0 - (b0 - b1) ** 2
    lo = (a0 * b0 - math.sqrt(a0 * a0 * b0 * b0 - (a0 * a0 - (a0 - a1) ** 2) * dl)) / dl if dl > 0 else -math.inf
    hi = (a0 * b0 + math.sqrt(a0 * a0 * b0 * b0 - (a0 * a0 - (a2 - a0) ** 2) * dh)) / dh if dh > 0 else math.inf
    return lo, hi

def fixed(x):
    return '%.2f' % x if math.isfinite(x) else 'N/A'

def ratio_texts(a, b):
    """The ratio row's ratio and interval texts."""
    ratio = fixed(a[0] / b[0]) if b[0] != 0 and math.isfinite(b[0]) else 'N/A'
    bounds = ratio_bounds(a, b)
    lo, hi = bounds if bounds else (math.nan, math.nan)
    return ratio, '[%s, %s]' % (fixed(lo), fixed(hi))

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
    print('# ratio bounds of 50 % of 20000 over k of 20000 (triples as poissonConcentration)')
    for k in [0, 1, 2, 3, 10, 100]:
        show('k %d: denominator' % k, conc(20000, k))
        print('   bounds', ratio_bounds(conc(20000, 10000), conc(20000, k)))
    show('50 of 100 over 3 of 100: numerator', conc(100, 50))
    show('   denominator', conc(100, 3))
    print('   bounds', ratio_bounds(conc(100, 50), conc(100, 3)))
    print('# ratio rows: 1000 of 2000 over k of 2000, and 50 of 100 over 3 of 100')
    for k in [0, 1, 2, 3, 10, 100]:
        print('k', k, ratio_texts(conc(2000, 1000), conc(2000, k)))
    print('3 of 100', ratio_texts(conc(100, 50), conc(100, 3)))
    print('# uncertainty at the measured count, percent: 0, N - 1 and N / 2 of N')
    for n, k in [(20000, 0), (20000, 19999), (20000, 10000), (200, 0), (200, 199), (200, 100)]:
        print((n, k), 100 * well_unc(conc(n, k)), fixed(100 * well_unc(conc(n, k))))
    print('# the edited population: 15 positives of 120 droplets in a well of 20000')
    print('   table', fixed(100 * well_unc(conc(120, 15))), 'view before', fixed(curve_old_uat(20000, conc(120, 15)[0])))
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
