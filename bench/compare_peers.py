#!/usr/bin/python3
"""Reading speed of the program against its peers, in one run, wall clock.

SEG-Y: the program's read benchmark (BM_SegyReadIbm: 1000 traces x 2000
IBM float samples, big-endian, about 8 MB), segyio (python3-segyio) reading
the very file the benchmark wrote, and a raw read of that file. SEG-2: the
program's read benchmark (BM_Seg2InFloatFile) against a raw read of its file.
Batch conversion: the program converting 1000 one-record SEG-Y files (24
traces x 1000 IEEE float samples, little-endian) to SEG-2 in one run
(BM_BatchConvertSegyToSeg2), against segyio only reading the same files.
The batch files live in a memory-backed folder (/dev/shm) where there is
one: creating a thousand files on a busy disk costs more than either
program's own work.
FFT: the program's transform (BM_Cool: 4096 and 8192 complex points) against
numpy.fft.fft of the same number of complex64 points.
The commands as the user runs them, on 240 x 4000 and 1000 x 8000 records
(traces x samples), progress dialog and Cancel poll included (headless):
F-K open (BM_FkOpen) against numpy's fft2 of the record padded as the F-K
tool pads it, F-K Filter Traces (BM_FkFilterTraces) against numpy's ifft2 of
that transform, and the four pickers (BM_PickAllTraces), the wavelet
picker beside scipy's FFT correlation of every trace with its wavelet.

The readers take turns, round after round, so that a change in the machine's
load touches all of them alike; the medians over the rounds are compared.

The raw read is the whole file read into memory in one call (Python's
f.read()): the copy out of the system's file cache, the floor under any
reader of the file.

Usage: bench/compare_peers.py [path/to/velloran_bench] [--rounds N]
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

# segyio comes from the system's package (python3-segyio): run under the
# system's interpreter when another one was used and lacks it.
try:
    import segyio  # noqa: F401
except ImportError:
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != \
            os.path.realpath("/usr/bin/python3") and "VELLORAN_PEERS_REEXEC" not in os.environ:
        os.environ["VELLORAN_PEERS_REEXEC"] = "1"
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)


def bench_median_seconds(exe, name, folder, repetitions=5):
    """Median wall time of one run of benchmark NAME, in seconds."""
    env = dict(os.environ, VELLORAN_BENCH_DIR=folder, VELLORAN_HEADLESS="1")
    out = subprocess.run(
        [exe, f"--benchmark_filter=^{name}(/|$)", f"--benchmark_repetitions={repetitions}",
         "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
        env=env, check=True, capture_output=True, text=True).stdout
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
            return b["real_time"] * scale
    raise RuntimeError(f"no median for {name}")


def timed(fn, repetitions=9):
    """Median wall time of FN over REPETITIONS calls, after one warm-up."""
    fn()
    times = []
    for _ in range(repetitions):
        t = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t)
    return statistics.median(times)


def raw_read(path):
    size = os.path.getsize(path)

    def read():
        with open(path, "rb") as f:
            if len(f.read()) != size:
                raise RuntimeError("short read")
    return read


def segyio_read(path):
    import segyio

    def read():
        with segyio.open(path, ignore_geometry=True) as f:
            data = f.trace.raw[:]
        if data.shape != (1000, 2000):
            raise RuntimeError(f"segyio read {data.shape}")
        return data
    return read


def segyio_read_files(folder):
    import segyio
    files = sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".sgy"))

    def read():
        for path in files:
            with segyio.open(path, ignore_geometry=True, endian="little") as f:
                data = f.trace.raw[:]
            if data.shape != (24, 1000):
                raise RuntimeError(f"segyio read {data.shape} from {path}")
    return read, len(files)


def numpy_fft(n):
    import numpy as np
    rng = np.random.default_rng(3)
    x = (rng.standard_normal(n) + 1j * rng.standard_normal(n)).astype(np.complex64)

    def run():
        return np.fft.fft(x)
    return run


def numpy_fk():
    import numpy as np
    rng = np.random.default_rng(11)
    x = np.zeros((8192, 512), dtype=np.float32)
    x[:4000, :240] = rng.standard_normal((4000, 240)).astype(np.float32)

    def run():
        return np.fft.ifft2(np.fft.fft2(x))
    return run


def matplotlib_plot(fmt, folder):
    """Matplotlib writing the program's benchmark picture: 240 variable-area
    traces of 4000 samples (the same decaying sines as bench/SyntheticPlot.h,
    wiggles with their positive lobes filled black), 1920 x 1080 pixels, to
    FMT ("eps", "svg" or "png")."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    import numpy as np
    traces, samples = 240, 4000
    i = np.arange(samples, dtype=np.float32)
    t = i * 0.25
    out = os.path.join(folder, "matplotlib-plot." + fmt)

    def run():
        fig = plt.figure(figsize=(19.2, 10.8), dpi=100)
        ax = fig.add_axes([0.06, 0.06, 0.9, 0.9])
        for j in range(1, traces + 1):
            a = np.sin(0.05 * (i + 13 * j)) * np.exp(-0.0004 * i) * 0.9
            x = 2.0 * j + a
            ax.plot(x, t, "k", linewidth=0.3)
            ax.fill_betweenx(t, 2.0 * j, x, where=a > 0, color="k", linewidth=0)
        ax.set_ylim(t[-1], 0)
        ax.set_xlabel("Offset (m)")
        ax.set_ylabel("Time (ms)")
        fig.savefig(out, format=fmt)
        plt.close(fig)
    return run



def numpy_fk_pair(nsamp, ntrace):
    """numpy's fft2 of a record padded as the F-K tool pads it, and ifft2 of
    the result: what F-K open and Filter Traces each compute."""
    import numpy as np
    nt = 1 << (2 * nsamp - 1).bit_length()
    nx = 1 << (2 * ntrace - 1).bit_length()
    rng = np.random.default_rng(11)
    x = np.zeros((nt, nx), dtype=np.float32)
    x[:nsamp, :ntrace] = rng.standard_normal((nsamp, ntrace)).astype(np.float32)
    spectrum = np.fft.fft2(x)

    def forward():
        return np.fft.fft2(x)

    def inverse():
        return np.fft.ifft2(spectrum)
    return forward, inverse


def scipy_correlation(ntrace, nsamp):
    """scipy's FFT correlation of every trace of a record with a 40-sample
    wavelet: the wavelet picker's correlation, done by a peer."""
    import numpy as np
    from scipy import signal
    rng = np.random.default_rng(5)
    x = rng.standard_normal((ntrace, nsamp)).astype(np.float32)
    w = rng.standard_normal((1, 40)).astype(np.float32)

    def run():
        return signal.fftconvolve(x, w[:, ::-1], mode="valid", axes=1)
    return run


# The F-K and picker rows: (traces, samples) of the records.
COMMAND_SIZES = ((240, 4000), (1000, 8000))
PICKERS = ((1, "simple"), (2, "Hatherly"), (3, "box"), (4, "wavelet"))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bench", nargs="?",
                        default=os.path.join(here, "..", "build", "bench", "velloran_bench"))
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()

    try:
        import segyio  # noqa: F401
        have_segyio = True
    except ImportError:
        have_segyio = False
        print("segyio is not installed (python3-segyio): SEG-Y is compared with the raw read only")

    with open("/proc/loadavg") as f:
        print("load average before:", " ".join(f.read().split()[:3]))

    ram = "/dev/shm" if os.path.isdir("/dev/shm") else None
    with tempfile.TemporaryDirectory() as folder, tempfile.TemporaryDirectory(dir=ram) as batch:
        segy = os.path.join(folder, "velloran-segy-bench.sgy")
        seg2 = os.path.join(folder, "velloran-seg2-bench.sg2")
        t = {k: [] for k in ("program", "segyio", "raw", "seg2", "seg2 raw", "batch",
                             "batch segyio")}
        batch_files = 0
        fft_sizes = (12, 13)
        try:
            import numpy  # noqa: F401
            have_numpy = True
        except ImportError:
            have_numpy = False
            print("numpy is not installed (python3-numpy): the FFT is not compared")
        for m in fft_sizes:
            t[f"cool {m}"] = []
            t[f"numpy {m}"] = []
        for k in ("fkspect", "fktraces", "numpy fk"):
            t[k] = []
        try:
            import matplotlib  # noqa: F401
            have_matplotlib = True
        except ImportError:
            have_matplotlib = False
            print("matplotlib is not installed (python3-matplotlib): the plot files are not compared")
        drivers = ("PostScript", "Eps", "Svg", "Hpgl", "Hpgl2", "Cgm", "Wmf", "Emf", "Dxf", "Png")
        for d in drivers:
            t["plot " + d] = []
        t["print job"] = []
        for f in ("eps", "svg", "png"):
            t["matplotlib " + f] = []
        try:
            import scipy  # noqa: F401
            have_scipy = True
        except ImportError:
            have_scipy = False
        for n, s in COMMAND_SIZES:
            for k in ("fk open", "fk filter", "numpy fft2", "numpy ifft2", "scipy xcorr"):
                t[f"{k} {n}"] = []
            for method, _ in PICKERS:
                t[f"pick {method} {n}"] = []
        for _ in range(args.rounds):
            # The commands' rows first, the program and its peer in turn.
            for n, s in COMMAND_SIZES:
                if have_numpy:
                    forward, inverse = numpy_fk_pair(s, n)
                    t[f"fk open {n}"].append(bench_median_seconds(
                        args.bench, f"BM_FkOpen/traces:{n}/samples:{s}", folder, repetitions=3))
                    t[f"numpy fft2 {n}"].append(timed(forward, repetitions=3))
                    t[f"fk filter {n}"].append(bench_median_seconds(
                        args.bench, f"BM_FkFilterTraces/traces:{n}/samples:{s}", folder,
                        repetitions=3))
                    t[f"numpy ifft2 {n}"].append(timed(inverse, repetitions=3))
                    del forward, inverse
                for method, _ in PICKERS:
                    t[f"pick {method} {n}"].append(bench_median_seconds(
                        args.bench, f"BM_PickAllTraces/method:{method}/traces:{n}", folder,
                        repetitions=3))
                if have_scipy:
                    t[f"scipy xcorr {n}"].append(timed(scipy_correlation(n, s), repetitions=3))
            if have_numpy:
                t["fkspect"].append(bench_median_seconds(args.bench, "BM_FkSpect", folder))
                t["fktraces"].append(bench_median_seconds(args.bench, "BM_FkTraces", folder))
                t["numpy fk"].append(timed(numpy_fk(), repetitions=3))
                for m in fft_sizes:
                    t[f"cool {m}"].append(bench_median_seconds(args.bench, f"BM_Cool/{m}", folder))
                    t[f"numpy {m}"].append(timed(numpy_fft(1 << m), repetitions=201))
            for d in drivers:
                t["plot " + d].append(bench_median_seconds(args.bench, "BM_TracePlot" + d, folder,
                                                           repetitions=3))
            t["print job"].append(bench_median_seconds(args.bench, "BM_PrintJobTracePlot", folder,
                                                       repetitions=3))
            if have_matplotlib:
                for f in ("eps", "svg", "png"):
                    t["matplotlib " + f].append(timed(matplotlib_plot(f, folder), repetitions=1))
            t["program"].append(bench_median_seconds(args.bench, "BM_SegyReadIbm", folder))
            if have_segyio:
                t["segyio"].append(timed(segyio_read(segy)))
            t["raw"].append(timed(raw_read(segy)))
            t["seg2"].append(bench_median_seconds(args.bench, "BM_Seg2InFloatFile", folder))
            t["seg2 raw"].append(timed(raw_read(seg2)))
            t["batch"].append(bench_median_seconds(args.bench, "BM_BatchConvertSegyToSeg2",
                                                   batch, repetitions=3))
            if have_segyio:
                read, batch_files = segyio_read_files(os.path.join(batch, "velloran-batch"))
                t["batch segyio"].append(timed(read, repetitions=3))
        segy_mb = os.path.getsize(segy) / 1e6
        seg2_mb = os.path.getsize(seg2) / 1e6

    with open("/proc/loadavg") as f:
        print("load average after: ", " ".join(f.read().split()[:3]))
    m = {k: statistics.median(v) for k, v in t.items() if v}

    def line(label, key, mb):
        print(f"  {label:<36} {m[key] * 1e3:8.2f} ms  {mb / m[key]:8.0f} MB/s")

    print(f"SEG-Y, {segy_mb:.1f} MB (1000 traces x 2000 IBM samples), medians of "
          f"{args.rounds} rounds, wall clock:")
    line("program (BM_SegyReadIbm)", "program", segy_mb)
    if "segyio" in m:
        line("segyio (trace.raw[:])", "segyio", segy_mb)
    line("raw read of the file", "raw", segy_mb)
    if "segyio" in m:
        print(f"  program / segyio speed:          {m['segyio'] / m['program']:.2f}x  (goal >= 2)")
    print(f"  program / raw read speed:        {m['raw'] / m['program']:.2f}x  (goal >= 0.5)")
    print(f"SEG-2, {seg2_mb:.1f} MB (240 traces x 4000 float samples):")
    line("program (BM_Seg2InFloatFile)", "seg2", seg2_mb)
    line("raw read of the file", "seg2 raw", seg2_mb)
    print(f"  program / raw read speed:        {m['seg2 raw'] / m['seg2']:.2f}x  (goal >= 0.5)")
    print("Batch conversion, 1000 one-record SEG-Y files (24 traces x 1000 samples):")
    print(f"  program, SEG-Y to SEG-2           {m['batch'] * 1e3:8.2f} ms  "
          f"{1000 / m['batch']:8.0f} files/s  (goal >= 5000)")
    if "batch segyio" in m:
        print(f"  segyio, reading only ({batch_files} files) {m['batch segyio'] * 1e3:8.2f} ms  "
              f"{batch_files / m['batch segyio']:8.0f} files/s")
        print(f"  program / segyio speed:          {m['batch segyio'] / m['batch']:.2f}x  (goal > 1)")
    if have_numpy:
        print("FFT of complex points, one transform (numpy in complex64 input):")
        for m_ in fft_sizes:
            n = 1 << m_
            print(f"  {n:5d} points: program (BM_Cool) {m[f'cool {m_}'] * 1e6:8.1f} us, "
                  f"numpy.fft.fft {m[f'numpy {m_}'] * 1e6:8.1f} us, "
                  f"program / numpy speed {m[f'numpy {m_}'] / m[f'cool {m_}']:.2f}x")
        print("F-K transform of a 240 x 4000 record padded to 8192 x 512:")
        print(f"  program FKSPECT {m['fkspect'] * 1e3:8.1f} ms, FKTRACES {m['fktraces'] * 1e3:8.1f} ms; "
              f"numpy fft2 + ifft2 {m['numpy fk'] * 1e3:8.1f} ms "
              f"(FKTRACES / numpy time {m['fktraces'] / m['numpy fk']:.2f}, goal <= 1)")
    goals = {"Dxf": 0.5, "Png": None}
    print("The 240 x 4000 variable-area trace plot written by each driver (medians, wall clock):")
    for d in drivers:
        goal = goals.get(d, 0.15)
        note = f"(goal < {goal * 1e3:.0f} ms)" if goal else ""
        print(f"  {d:<12} {m['plot ' + d] * 1e3:8.1f} ms {note}")
    print(f"  Print job to lp {m['print job'] * 1e3:8.1f} ms (goal < 400 ms)")
    if have_matplotlib:
        for f, d in (("eps", "Eps"), ("svg", "Svg"), ("png", "Png")):
            mp = m["matplotlib " + f]
            print(f"  matplotlib {f.upper():<4} {mp * 1e3:8.1f} ms; program / matplotlib speed "
                  f"{mp / m['plot ' + d]:.1f}x (goal >= 20)")
        slowest = max(m["matplotlib " + f] for f in ("eps", "svg", "png"))
        fastest = min(m["matplotlib " + f] for f in ("eps", "svg", "png"))
        for d in drivers:
            print(f"  {d:<12} against matplotlib's fastest of the three: "
                  f"{fastest / m['plot ' + d]:.1f}x (goal >= 20)")
        print(f"  Print job against matplotlib's fastest: {fastest / m['print job']:.1f}x; "
              f"slowest {slowest / m['print job']:.1f}x")

    print("The commands as the user runs them (progress dialog and Cancel poll included):")
    for n, s in COMMAND_SIZES:
        print(f"  {n} traces x {s} samples:")
        if have_numpy:
            o, f2 = m[f"fk open {n}"], m[f"numpy fft2 {n}"]
            fl, i2 = m[f"fk filter {n}"], m[f"numpy ifft2 {n}"]
            extra_o = ", goal < 120 ms" if n == 240 else ""
            extra_f = ", goal < 60 ms" if n == 240 else ""
            print(f"    F-K open          {o * 1e3:8.1f} ms, numpy fft2  {f2 * 1e3:8.1f} ms, "
                  f"ratio {o / f2:.2f} (goal <= 1{extra_o})")
            print(f"    F-K Filter Traces {fl * 1e3:8.1f} ms, numpy ifft2 {i2 * 1e3:8.1f} ms, "
                  f"ratio {fl / i2:.2f} (goal <= 0.5{extra_f})")
        for method, name in PICKERS:
            goal = " (goal < 200 ms)" if n == 1000 and method in (3, 4) else ""
            print(f"    {name + ' picker':<17} {m[f'pick {method} {n}'] * 1e3:8.1f} ms{goal}")
        if f"scipy xcorr {n}" in m:
            print(f"    scipy FFT correlation of every trace with 40 samples "
                  f"{m[f'scipy xcorr {n}'] * 1e3:8.1f} ms (wavelet picker / scipy "
                  f"{m[f'pick 4 {n}'] / m[f'scipy xcorr {n}']:.2f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
