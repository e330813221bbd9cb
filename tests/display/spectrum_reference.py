"""Independent references for the frequency tools, built on numpy's FFT.

The program's forward transform (exponent sign +1) is n times numpy's
inverse FFT; its inverse (sign -1) is numpy's forward FFT.
"""
import numpy as np

F32 = np.float32


def nfft(n):
    m = 0
    while (1 << m) < n:
        m += 1
    return 1 << m


def taper(x, nt):
    """The raised-cosine end taper in 32-bit arithmetic."""
    x = np.array(x, dtype=F32)
    n = len(x)
    x[0] = 0
    x[n - 1] = 0
    d = F32(F32(3.141593) / F32(nt - 1))
    for j in range(1, nt):
        w = F32(0.5) * (F32(1) + np.cos(F32(nt - j) * d))
        x[j] = F32(x[j] * w)
        x[n - 1 - j] = F32(x[n - 1 - j] * w)
    return x


def tapered(x, nt):
    n = len(x)
    return taper(x, nt) if 0 < nt < n // 2 else np.array(x, dtype=F32)


def forward(x, nt):
    n = len(x)
    nf = nfft(n)
    padded = np.zeros(nf, dtype=np.float64)
    padded[:n] = tapered(x, nt)
    return np.fft.ifft(padded) * nf, nf


def spectrum(x, nt):
    spec, nf = forward(x, nt)
    power = np.abs(spec[: nf // 2]) ** 2
    top = power.max()
    return power / top if top > 0 else power


def corner(f, nf):
    f = min(max(float(f), 0.0), 1.0) if f == f else 0.0
    v = float(F32(F32(f) * F32(nf)) / F32(2))
    return int(np.floor(v + 0.5))


def weights(nf, corners, two_band):
    """The trapezoid weights of elements 1..nf (1-based, index 0 unused), by
    the steps in their order, each step multiplying what the earlier left."""
    h = nf // 2
    w = np.ones(nf + 2, dtype=np.float64)

    def mul(e, v):
        w[e] *= v
        if 2 <= e <= h:
            w[nf + 2 - e] *= v

    k = [corner(f, nf) for f in corners]
    k1, k2, k3, k4, k5, k6, k7, k8 = k
    if k1 >= 1:
        for e in range(1, k1 + 1):
            mul(e, 0.0)
    lo = k1 if k1 >= 1 else 1
    if k2 > lo:
        for e in range(max(lo, 1), k2 + 1):
            mul(e, (e - lo) / (k2 - lo))
    if k3 < k4:
        for e in range(max(k3, 1), k4 + 1):
            mul(e, 1.0 - (e - k3) / (k4 - k3))
    last = k4
    if two_band:
        if k4 < k5:
            for e in range(k4 + 1, k5 + 1):
                mul(e, 0.0)
        s = k5 if k4 <= k5 else k4 + 1
        if k6 > s:
            for e in range(max(s, 1), k6 + 1):
                mul(e, (e - s) / (k6 - s))
        if k7 < k8:
            for e in range(max(k7, 1), k8 + 1):
                mul(e, 1.0 - (e - k7) / (k8 - k7))
        last = k8
    if last < h:
        for e in range(last + 1, h + 2):
            mul(e, 0.0)
    return w[1 : nf + 1]


def filtrace(x, nt, corners, two_band):
    spec, nf = forward(x, nt)
    spec = spec.astype(np.complex64)
    w = weights(nf, corners, two_band)
    re = (spec.real.astype(np.float64) * w).astype(F32)
    im = (spec.imag.astype(np.float64) * w).astype(F32)
    out = np.fft.fft(re.astype(np.float64) + 1j * im.astype(np.float64)) / nf
    return out.real[: len(x)]
