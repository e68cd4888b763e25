"""The Python module against the C++ library on the benchmarks' reference files.

    /usr/bin/python3 bench/python_bench.py BUILD_DIR [XML_SCALE=1.0] [MESH_MB=100] [ROUNDS=5] [FOLDER=/tmp]

BUILD_DIR is a build with the module and the benchmarks (BUILD_DIR/python,
BUILD_DIR/bench/python_reference). Measured, each in a fresh process that
times only its step and leaves what it built to the exit, rounds alternating:
corvane.load against the C++ load (XmlFileIO::read) and lxml.etree.parse of
the same exchange file; corvane.load_meshes against CMeshBin::load of the same
mesh file; and walking every chunk of the loaded tree from Python, reading
each value. Figures are medians with the first and third quartiles; a ratio's
range pairs those quartiles the least and the most favourable way, and a goal
is met when the whole range meets it (as in bench/bench_support.h).
"""

import os
import subprocess
import sys

STEPS = {
    "load": "import corvane\nt = time.perf_counter()\ncorvane.load(path)\n",
    "lxml": "from lxml import etree\nt = time.perf_counter()\netree.parse(path)\n",
    "walk": ("import corvane\nroot = corvane.load(path)\nt = time.perf_counter()\n"
             "pending = [root]\nwhile pending:\n    chunk = pending.pop()\n    chunk.value\n"
             "    pending.extend(chunk)\n"),
    "load_meshes": "import corvane\nt = time.perf_counter()\ncorvane.load_meshes(path)\n",
}


def python_step(build, step, path):
    code = ("import os, sys, time\npath = sys.argv[1]\n" + STEPS[step] +
            "print(time.perf_counter() - t, flush=True)\nos._exit(0)\n")
    env = dict(os.environ, PYTHONPATH=os.path.join(build, "python"))
    output = subprocess.run([sys.executable, "-c", code, path], env=env, check=True,
                            capture_output=True, text=True).stdout
    return float(output.split()[0])


def cpp_step(build, command, path):
    program = os.path.join(build, "bench", "python_reference")
    return float(subprocess.run([program, command, path], check=True, capture_output=True,
                                text=True).stdout.split()[0])


def quantile(values, q):
    ordered = sorted(values)
    at = q * (len(ordered) - 1)
    below = int(at)
    above = min(below + 1, len(ordered) - 1)
    return ordered[below] + (ordered[above] - ordered[below]) * (at - below)


def summary(values):
    return quantile(values, 0.5), quantile(values, 0.25), quantile(values, 0.75)


def ratio(ours, reference):
    (m, low, high), (rm, rlow, rhigh) = summary(ours), summary(reference)
    return m / rm, low / rhigh, high / rlow


def verdict(r, goal):
    if r[2] <= goal:
        return "met"
    if r[1] > goal:
        return "missed"
    return "met at the median, within the noise" if r[0] <= goal else "missed at the median, within the noise"


def main():
    build = os.path.abspath(sys.argv[1])
    scale = float(sys.argv[2]) if len(sys.argv) > 2 else 1.0
    megabytes = float(sys.argv[3]) if len(sys.argv) > 3 else 100.0
    rounds = max(5, int(sys.argv[4])) if len(sys.argv) > 4 else 5
    folder = sys.argv[5] if len(sys.argv) > 5 else "/tmp"
    xml = os.path.join(folder, "python_bench.xml")
    mesh = os.path.join(folder, "python_bench.bin")
    program = os.path.join(build, "bench", "python_reference")
    subprocess.run([program, "write-xml", xml, str(scale)], check=True)
    subprocess.run([program, "write-mesh", mesh, str(megabytes)], check=True)
    print("exchange file %.0f MB, mesh file %.0f MB; %d rounds" % (
        os.path.getsize(xml) / 2**20, os.path.getsize(mesh) / 2**20, rounds))
    times = {name: [] for name in ("cpp_load", "load", "lxml", "walk", "cpp_mesh", "load_meshes")}
    for _ in range(rounds):
        times["cpp_load"].append(cpp_step(build, "load-xml", xml))
        times["load"].append(python_step(build, "load", xml))
        times["lxml"].append(python_step(build, "lxml", xml))
        times["walk"].append(python_step(build, "walk", xml))
        times["cpp_mesh"].append(cpp_step(build, "load-mesh", mesh))
        times["load_meshes"].append(python_step(build, "load_meshes", mesh))
    names = {"cpp_load": "C++ load (XmlFileIO::read)", "load": "corvane.load",
             "lxml": "lxml.etree.parse", "walk": "walk every chunk, read its value",
             "cpp_mesh": "C++ CMeshBin::load", "load_meshes": "corvane.load_meshes"}
    for key, values in times.items():
        print("%-34s median %6.3f s  (%.3f-%.3f)" % ((names[key],) + summary(values)))
    for what, ours, reference, goal in (
            ("corvane.load / C++ load", "load", "cpp_load", 1.1),
            ("corvane.load / lxml.etree.parse", "load", "lxml", 1.0),
            ("corvane.load_meshes / C++ mesh load", "load_meshes", "cpp_mesh", 1.5)):
        r = ratio(times[ours], times[reference])
        print("%-38s %.2fx (range %.2f-%.2f), goal <= %.2gx: %s" % ((what,) + r + (goal, verdict(r, goal))))
    for path in (xml, mesh):
        os.remove(path)


if __name__ == "__main__":
    main()
