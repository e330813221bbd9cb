"""Reference transcription of the box picker, the wavelet picker with its
cross-correlation, and the pick refinement, in float32 and in the order the
program computes them, so that the pick indices can agree exactly.

Usage: pickers_reference.py CASE OUT
CASE (little-endian): int32 ntr, ns, m, cycles; float32 dt; float32
traces[ntr][ns]; float32 wavelet[m]; int32 refine_start[ntr].
OUT: int32 box[ntr], wavelet[ntr], refined[ntr]; float32 corr[ntr][ns]
(numpy.correlate, valid part, divided by m, zero tail).
Box parameters are the program's start values except the cycles; wavelet
parameters are the start values.
"""
import sys

import numpy as np

f32 = np.float32


def nint(x):
    x = float(x)
    r = int(np.floor(abs(x) + 0.5))
    return r if x >= 0 else -r


def seqsum(a):
    """Sum in index order, in float32."""
    return np.add.accumulate(np.asarray(a, dtype=f32), dtype=f32)[-1] if len(a) else f32(0)


def trifilt(t, nh):
    n = len(t)
    s = t.copy()
    w = np.ones(n, f32)
    for o in range(1, nh + 1):
        if o >= n:
            break
        fo = f32(o)
        inv = f32(1) / fo
        s[:n - o] = s[:n - o] + t[o:] / fo
        w[:n - o] = w[:n - o] + inv
        s[o:] = s[o:] + t[:n - o] / fo
        w[o:] = w[o:] + inv
    return s / w


def avgof(a):
    vals = [v for v in a if not v > f32(1e10)]
    if not vals:
        return f32(0)
    return seqsum(vals) / f32(len(vals))


def pickbx(tr, dt, cycles, istart=5):
    permin, permax, tol, thresh, avgpct = f32(7), f32(15), f32(5), f32(5), f32(30)
    nmaxima, steps, power, useavg = 10, 10, True, True
    ns = len(tr)
    W = np.concatenate(([f32(0)], trifilt(tr.astype(f32), 7)))
    ntol = max(2, nint(tol / dt))
    p = int(np.trunc(thresh))
    IS, IE = istart, ns
    npmin = nint(permin / dt)
    npstep = max(1, nint(((permax - permin) / dt) / f32(steps)))
    npmax = min(ns, nint(permax / dt))
    ipos, lastpos, lastamp = 0, 0, f32(-1e20)
    found, npfound = False, 0
    NP = npmin
    while NP <= npmax and not found:
        if NP < 1:
            NP += npstep
            continue
        j0 = IS + NP - 1
        if j0 > ns:
            break
        B = np.zeros(ns + 2, f32)
        first = seqsum(W[IS:j0 + 1])
        B[j0] = first
        slides = min(IE - IS, ns - 1 - j0)
        bmax = f32(-1e20)
        if slides >= 1:
            seq = np.empty(2 * slides + 1, f32)
            seq[0] = first
            seq[1::2] = -W[IS:IS + slides]
            seq[2::2] = W[j0 + 1:j0 + slides + 1]
            acc = np.add.accumulate(seq, dtype=f32)[2::2]
            B[j0 + 1:j0 + slides + 1] = acc
            bmax = max(bmax, acc.max())
        avg = seqsum(B[j0:min(j0 + NP, ns) + 1]) / f32(NP)
        if power:
            bmax = f32(-1e20)
            if IE - IS >= j0:
                v = B[j0:IE - IS + 1] - avg
                sq = np.where(v >= 0, v * v, -(v * v)).astype(f32)
                B[j0:IE - IS + 1] = sq
                bmax = max(bmax, sq.max())
            avg = f32(0)
        thr = f32(avg + f32(f32(bmax - avg) * f32(p)) / f32(100))
        b = B.tolist()
        t = float(thr)

        def fmax(k):
            if k > IE - 2:
                return k, False
            for m in range(k + 1, IE):
                if b[m] >= b[m - 1] and b[m] > t and b[m] > b[m + 1]:
                    return m, True
            return IE - 1, False

        def fmin(k):
            if k > IE - 2:
                return k, False
            for m in range(k + 1, IE):
                if b[m] <= b[m - 1] and b[m] < -t and b[m] < b[m + 1]:
                    return m, True
            return IE - 1, False

        amps, poss = [], []
        k = NP + IS
        two_thirds = f32(2) / f32(3)
        while k < IE and len(amps) < nmaxima:
            k, ok = fmax(k)
            if not ok:
                break
            im = k
            k, ok = fmin(k)
            if not ok:
                break
            if B[k] > two_thirds * B[im]:
                continue
            amps.append(B[im])
            poss.append(im)
        if not amps:
            ipos, lastpos, lastamp = -1, 0, f32(-1e20)
        else:
            thr2 = f32(f32(avgof(amps) * avgpct) / f32(100)) if useavg else avg
            h = ntol // 2
            for a, q in zip(amps, poss):
                if a > thr2:
                    if lastpos - h <= q <= lastpos + h and a <= lastamp:
                        ipos, found = q, True
                    else:
                        ipos, lastpos, lastamp = q, q, a
                    break
            else:
                ipos, lastpos, lastamp = -1, poss[0], amps[0]
        if found:
            npfound = NP
        NP += npstep
    if not found:
        return -1
    pick = ipos - (cycles + 1) * npfound
    return -1 if pick > ns else pick


def crosscor(tr, w):
    ns, m = len(tr), len(w)
    out = np.zeros(ns, f32)
    if m < 1 or m >= ns:
        return out
    n = ns - m
    for k in range(m):
        out[:n] = out[:n] + tr[k:k + n] * w[k]
    out[:n] = out[:n] / f32(m)
    return out


def findnx(a):
    lo, hi = f32(1e30), f32(-1e30)
    for v in a.tolist():
        if v != v or abs(v) > 1e15 or (v != 0 and abs(v) < 1e-30):
            continue
        lo, hi = min(lo, f32(v)), max(hi, f32(v))
    return lo, hi


def pickwv(xc, amax, np_):
    growth, minfrac, side = f32(4), f32(0.1), f32(0.05)
    ns = len(xc)
    if np_ < 1 or 7 * np_ >= ns:
        return 0
    X = np.concatenate(([f32(0)], xc.astype(f32)))

    def measures(k):
        q, b, a = X[k], X[k - np_], X[k + np_]
        o = abs(f32(q - a) - b)
        t = f32(f32(abs(a) + abs(q)) + abs(b))
        return o, t, abs(f32(a - b)), abs(f32(o - t))

    h = f32(amax * minfrac)
    pick = 0
    for k in range(np_ + 1, ns - 6 * np_ + 1):
        o, t, ab, ot = measures(k)
        u = f32(f32(o + t) / f32(2)) + f32(1e-10)
        if o > h and t > h and ab / u <= side and ot / u <= side:
            pick = k
            h = growth * min(o, t)
    if pick == 0:
        return 0
    best = f32(0)
    lo, hi = max(pick - np_, np_ + 1), min(pick + np_, ns - np_)
    for i in range(lo, hi + 1):
        o, t, ab, ot = measures(i)
        v = f32(f32(f32(t + o) / f32(2)) - ab) - ot
        if v > best:
            best, pick = v, i
    return pick


def refinep(tr, pick):
    ns = len(tr)
    if pick < 1 or pick > ns:
        return pick
    T = np.concatenate(([f32(0)], tr.astype(f32)))
    for _ in range(5):
        p = pick
        nw = p - 1 if p < 50 else (ns - p - 5 if p + 55 > ns else 50)
        nw = min(nw, ns - p)
        if nw < 0:
            return pick
        m = p + nw
        srt = np.sort(T[1:m + 1])
        k = nint(f32(m) * f32(0.1666667))
        kept = m - 2 * k
        if kept < 1:
            return pick
        mid = srt[k:m - k]
        mean = seqsum(mid) / f32(kept)
        r = np.sqrt(seqsum(mid * mid) / f32(kept)).astype(f32)
        band = f32(2) * r
        new = p
        for c in range(p - nw, p + nw + 1):
            w = f32(T[c] - mean)
            if abs(w) < r:
                continue
            if c + 15 > ns:
                break
            run = T[c:c + 16] - mean
            if (w > 0 and np.all(run > band)) or (not w > 0 and np.all(run < -band)):
                new = c
                break
        if new == p:
            return pick
        pick = new
    return pick


def main():
    raw = open(sys.argv[1], "rb").read()
    ntr, ns, m, cycles = np.frombuffer(raw, "<i4", 4, 0)
    dt = np.frombuffer(raw, "<f4", 1, 16)[0]
    off = 20
    traces = np.frombuffer(raw, "<f4", ntr * ns, off).reshape(ntr, ns)
    off += 4 * ntr * ns
    wav = np.frombuffer(raw, "<f4", m, off)
    off += 4 * m
    starts = np.frombuffer(raw, "<i4", ntr, off)
    np_ = max(3, (int(m) + 3) // 4)
    box, wv, ref, corr = [], [], [], []
    for j in range(ntr):
        tr = traces[j]
        box.append(pickbx(tr, dt, int(cycles)))
        xc = crosscor(tr, wav)
        lo, hi = findnx(xc)
        amax = abs(lo) if abs(lo) > hi else abs(hi)
        wv.append(pickwv(xc, amax, np_))
        ref.append(refinep(tr, int(starts[j])))
        c = np.zeros(ns, np.float64)
        if 0 < m < ns:
            c[:ns - m] = np.correlate(tr.astype(np.float64), wav.astype(np.float64), "valid")[:ns - m] / m
        corr.append(c.astype(f32))
    with open(sys.argv[2], "wb") as out:
        out.write(np.asarray(box, "<i4").tobytes())
        out.write(np.asarray(wv, "<i4").tobytes())
        out.write(np.asarray(ref, "<i4").tobytes())
        out.write(np.concatenate(corr).astype("<f4").tobytes())


if __name__ == "__main__":
    main()
