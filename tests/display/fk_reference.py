"""Independent references for the F-K transform, built on numpy's 2-D FFT.

A record is NSAMP samples per trace, one trace after the other. The program's
forward transform (exponent sign +1) is NT x NX times numpy's inverse FFT;
its inverse (sign -1) is numpy's forward FFT. Arrays come back column by
column, as the program stores them.
"""
import os
import runpy

import numpy as np

F32 = np.float32
HALF_PI = F32(1.5707964)
_ONE_D = runpy.run_path(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                     "spectrum_reference.py"))


def padded(record, nsamp, ntrace, ntaper):
    """The tapered traces in the zero-padded NT x NX array (rows are time)."""
    nt = _ONE_D["nfft"](2 * nsamp)
    nx = _ONE_D["nfft"](2 * ntrace)
    a = np.zeros((nt, nx), dtype=np.float64)
    for j in range(ntrace):
        a[:nsamp, j] = _ONE_D["tapered"](record[j * nsamp:(j + 1) * nsamp], ntaper)
    return a


def spect(record, nsamp, ntrace, ntaper):
    """The power of fft2, rows 0 .. NT/2 - 1, negative wavenumbers first,
    divided by its largest value."""
    a = padded(record, nsamp, ntrace, ntaper)
    nt, nx = a.shape
    p = np.abs(np.fft.fft2(a)) ** 2
    out = np.concatenate([p[:nt // 2, nx // 2:], p[:nt // 2, :nx // 2]], axis=1)
    top = out.max()
    if top > 0:
        out = out / top
    return out.T.ravel()


def fan_weights(nt, nx, dt, dx, v, w, f):
    """The weight of every element of the transform: the cosine fan of each
    dip with a velocity, with the filter's own steps (NT - 1, NX - 1)."""
    df = F32(1000.0) / (F32(nt - 1) * F32(2.0) * F32(dt))
    dk = F32(1.0) / (F32(nx - 1) * F32(2.0) * F32(dx))
    weight = np.ones((nt, nx), dtype=np.float64)
    r = np.arange(1, nt + 1)
    low = r <= nt // 2
    q = np.where(low, r - 1, nt - r + 1).astype(F32)
    j = np.arange(1, nx // 2)
    with np.errstate(divide="ignore", invalid="ignore"):
        apparent = (q[:, None] * df) / (j[None, :].astype(F32) * dk)
        for d in range(2):
            if v[d] == 0:
                continue
            width = F32(w[d]) * F32(v[d])
            x = (apparent - F32(v[d])) * HALF_PI / width
            inside = (x > -HALF_PI) & (x < HALF_PI)
            factor = np.where(inside, 1.0 + (float(f[d]) - 1.0) * np.cos(x.astype(np.float64)), 1.0)
            same = j + 1 - 1            # 0-based column j + 1
            mirror = nx + 1 - j - 1     # 0-based column NX + 1 - j
            for row in range(nt):
                cols = (same if low[row] else mirror) if d == 0 else (mirror if low[row] else same)
                weight[row, cols] *= factor[row]
    return weight


def traces(record, nsamp, ntrace, ntaper, dt, dx, v, w, f):
    """The fan-filtered record: forward, weights, inverse divided by NT x NX."""
    a = padded(record, nsamp, ntrace, ntaper)
    nt, nx = a.shape
    x = np.fft.ifft2(a) * (nt * nx)
    x = x * fan_weights(nt, nx, dt, dx, v, w, f)
    y = np.fft.fft2(x).real / (nt * nx)
    return y[:nsamp, :ntrace].T.ravel()
