#!/usr/bin/env python3
"""Lists damaged copies of the test archives with the lister, to show that no archive, however
damaged, crashes or hangs it.

Every archive under the data folder gets the same number of mutants: bytes flipped, the file cut
short, and counts, sizes and offsets in its headers set to their largest values. Each run of the
lister must end by itself within a time limit, without a signal or a sanitizer report, and print
only lines of valid UTF-8 and valid JSON, one per archive it could open. The mutants come from a
fixed seed, so a failure can be made again: it is named by archive, number and what was done to
it, and the mutant is kept in the output folder.
"""

import argparse
import concurrent.futures
import json
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

FORMATS = ("zip", "arj", "lzh", "arc", "rar", "cab")
SANITIZER_EXIT = 99
LISTER_EXITS = (0, 2)  # every archive listed; some archive failed with an error of its own
ERROR_LINE = re.compile(r"^quenarch: .*\(error \d+\)$")
slowest_run = 0.0  # seconds, of the runs so far


# Header fields, as (offset, width) in the file; a width of -n marks a variable-length integer
# (RAR5) of n bytes.

def zip_fields(data):
    records = {  # signature: fields relative to it
        b"PK\x03\x04": [(18, 4), (22, 4), (26, 2), (28, 2)],
        b"PK\x01\x02": [(20, 4), (24, 4), (28, 2), (30, 2), (32, 2), (42, 4)],
        b"PK\x05\x06": [(8, 2), (10, 2), (12, 4), (16, 4), (20, 2)],
        b"PK\x06\x06": [(4, 8), (24, 8), (32, 8), (40, 8), (48, 8)],
        b"PK\x06\x07": [(8, 8)],
    }
    for signature, fields in records.items():
        for match in re.finditer(re.escape(signature), data):
            yield from ((match.start() + offset, width) for offset, width in fields)


def arj_fields(data):
    for match in re.finditer(b"\x60\xea", data):
        header = match.start()
        yield from ((header + offset, width) for offset, width in [(2, 2), (4, 1), (16, 4), (20, 4)])


def lzh_fields(data):
    for match in re.finditer(rb"-l[hz][0-9a-z ]-", data):
        header = match.start() - 2
        if header >= 0:
            yield from ((header + offset, width) for offset, width in [(0, 1), (0, 2), (7, 4), (11, 4), (21, 1)])


def arc_fields(data):
    position = 0
    while position + 29 <= len(data) and data[position] == 0x1A and data[position + 1] != 0:
        yield from [(position + 15, 4), (position + 25, 4)]
        packed = struct.unpack_from("<I", data, position + 15)[0]
        position += (25 if data[position + 1] == 1 else 29) + packed


def cab_fields(data):
    if len(data) < 36 or not data.startswith(b"MSCF"):
        return
    yield from [(8, 4), (16, 4), (26, 2), (28, 2), (30, 2)]
    if struct.unpack_from("<H", data, 30)[0] & 4:
        yield from [(36, 2), (38, 1), (39, 1)]
    position = struct.unpack_from("<I", data, 16)[0]
    for _ in range(struct.unpack_from("<H", data, 28)[0]):
        if position + 16 > len(data):
            return
        yield from [(position, 4), (position + 4, 4), (position + 8, 2)]
        end = data.find(b"\0", position + 16)
        if end < 0:
            return
        position = end + 1


def rar4_fields(data, position):
    while position + 7 <= len(data):
        flags, size = struct.unpack_from("<HH", data, position + 3)
        yield (position + 5, 2)
        extra = 0
        if flags & 0x8000 and position + 11 <= len(data):
            yield (position + 7, 4)
            extra = struct.unpack_from("<I", data, position + 7)[0]
        if data[position + 2] == 0x74:
            yield from [(position + 11, 4), (position + 26, 2)]
        if size < 7:
            return
        position += size + extra


def read_vint(data, position):
    value, shift, start = 0, 0, position
    while position < len(data) and position - start < 10:
        byte = data[position]
        value |= (byte & 0x7F) << shift
        position += 1
        if byte < 0x80:
            return value, position
        shift += 7
    return None, position


def rar5_fields(data, position):
    while position + 5 <= len(data):
        size, start = read_vint(data, position + 4)
        if size is None:
            return
        yield (position + 4, -(start - position - 4))
        fields, cursor = [], start
        for _ in range(3):  # type, flags, then the extra-area or data size
            value, after = read_vint(data, cursor)
            if value is None:
                return
            fields.append((cursor, after - cursor, value))
            cursor = after
        yield from ((offset, -length) for offset, length, _ in fields[1:])
        data_size = 0
        if fields[1][2] & 2:
            data_size = fields[2][2] if not fields[1][2] & 1 else (read_vint(data, cursor)[0] or 0)
        position = start + size + data_size


def rar_fields(data):
    if data.startswith(b"Rar!\x1a\x07\x01\x00"):
        yield from rar5_fields(data, 8)
    elif data.startswith(b"Rar!\x1a\x07\x00"):
        yield from rar4_fields(data, 7)


FIELDS = {"zip": zip_fields, "arj": arj_fields, "lzh": lzh_fields, "arc": arc_fields, "cab": cab_fields, "rar": rar_fields}


def set_to_maximum(data, offset, width, rng):
    """Sets a field to its largest value, its largest signed value, or its smallest signed one."""
    if width < 0:  # a variable-length integer keeps its length: all 7-bit groups set
        length = -width
        data[offset:offset + length] = b"\xff" * (length - 1) + b"\x7f"
        return "vint"
    kind = rng.choice(("max", "signed max", "signed min"))
    top = {"max": 0xFF, "signed max": 0x7F, "signed min": 0x80}[kind]
    rest = 0x00 if kind == "signed min" else 0xFF
    data[offset:offset + width] = bytes([rest] * (width - 1) + [top])
    return kind


def mutate(original, extension, rng):
    """A damaged copy of an archive, and a description of the damage."""
    data = bytearray(original)
    fields = [(o, w) for o, w in FIELDS[extension](bytes(original)) if 0 <= o and o + abs(w) <= len(data)]
    done = []
    for _ in range(rng.randint(1, 3)):
        choice = rng.random()
        if choice < 0.4 and fields:
            offset, width = rng.choice(fields)
            done.append(f"{set_to_maximum(data, offset, width, rng)} {abs(width)} bytes at {offset}")
        elif choice < 0.55 and len(data) > 1:
            cut = rng.randrange(len(data))
            del data[cut:]
            fields = [(o, w) for o, w in fields if o + abs(w) <= cut]
            done.append(f"cut at {cut}")
        elif choice < 0.7 and len(data) >= 8:
            width = rng.choice((2, 4, 8))
            offset = rng.randrange(len(data) - width + 1)
            done.append(f"{set_to_maximum(data, offset, width, rng)} {width} bytes at {offset}")
        elif data:
            for _ in range(rng.randint(1, 8)):
                offset = rng.randrange(len(data))
                data[offset] ^= rng.randint(1, 255)
                done.append(f"flip {offset}")
    return bytes(data), ", ".join(done)


class Mutant:
    """One damaged copy of an archive, named with its format's extension; written when it is needed."""

    def __init__(self, source, original, index, path, seed):
        self.source, self.original, self.index, self.path, self.seed = source, original, index, path, seed
        self.description = ""

    def write(self):
        extension = self.path.suffix[1:]
        data, self.description = mutate(self.original, extension, random.Random(f"{self.seed}/{self.source}/{self.index}"))
        self.path.write_bytes(data)

    def __str__(self):
        return f"{self.source} #{self.index} ({self.description})"


def reject_constant(name):
    raise ValueError(f"{name} is not JSON")


def run_lister(lister, mutants, timeout, environment):
    """What is wrong with one run of the lister over some mutants, or None."""
    global slowest_run
    try:
        started = time.monotonic()
        run = subprocess.run([lister, "list", "--json", "--", *(str(m.path) for m in mutants)], capture_output=True,
                             timeout=timeout, env=environment)
        slowest_run = max(slowest_run, time.monotonic() - started)
    except subprocess.TimeoutExpired:
        return f"no end within {timeout} s"
    errors = run.stderr.decode("utf-8", "replace")
    if run.returncode < 0:
        return f"killed by signal {-run.returncode}\n{errors[-4000:]}"
    if run.returncode not in LISTER_EXITS or "Sanitizer" in errors or "runtime error:" in errors:
        return f"exit status {run.returncode}\n{errors[-4000:]}"
    try:
        # Lines end at "\n" alone: JSON texts may hold other line separators, such as U+2028.
        lines = run.stdout.decode("utf-8").split("\n")[:-1]
    except UnicodeDecodeError as error:
        return f"output that is not UTF-8: {error}"
    for line in lines:
        try:
            json.loads(line, parse_constant=reject_constant)
        except ValueError as error:
            return f"a line that is not JSON ({error}): {line[:200]!r}"
    reported = sum(1 for line in errors.split("\n") if ERROR_LINE.match(line))
    if len(lines) + reported != len(mutants):
        return f"{len(lines)} listings and {reported} errors for {len(mutants)} archives"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--lister", required=True, help="the quenarch program, best built with sanitizers")
    parser.add_argument("--data", required=True, type=Path, help="the folder of test archives")
    parser.add_argument("--out", required=True, type=Path, help="where failing mutants are kept")
    parser.add_argument("--seed", type=int, default=1, help="seed of the mutants (default 1)")
    parser.add_argument("--mutants", type=int, default=120, help="mutants per archive (default 120)")
    parser.add_argument("--batch", type=int, default=16, help="mutants per run of the lister (default 16)")
    parser.add_argument("--timeout", type=float, default=30, help="seconds one run may take (default 30)")
    parser.add_argument("--budget", type=float, default=150, help="seconds for all runs (default 150)")
    parser.add_argument("--jobs", type=int, default=2, help="runs at a time (default 2)")
    options = parser.parse_args()

    archives = sorted(p for p in options.data.rglob("*") if p.is_file() and p.suffix[1:].lower() in FORMATS)
    if not archives:
        sys.exit(f"no archives under {options.data}")
    work = Path(tempfile.mkdtemp(prefix="quenarch-mutants-"))
    environment = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC", XDG_CONFIG_HOME=str(work),
                       ASAN_OPTIONS=f"detect_leaks=0:exitcode={SANITIZER_EXIT}",
                       UBSAN_OPTIONS=f"print_stacktrace=1:halt_on_error=1:exitcode={SANITIZER_EXIT}")
    # Mutants of every archive take turns, so that a run the budget ends still covers them all.
    originals = [archive.read_bytes() for archive in archives]
    mutants = [Mutant(archive.relative_to(options.data), originals[number], index,
                      work / f"{number}-{index}.{archive.suffix[1:].lower()}", options.seed)
               for index in range(options.mutants) for number, archive in enumerate(archives)]
    batches = [mutants[i:i + options.batch] for i in range(0, len(mutants), options.batch)]

    def run_batch(batch):
        for mutant in batch:
            mutant.write()
        problem = run_lister(options.lister, batch, options.timeout, environment)
        if problem is None:
            for mutant in batch:
                mutant.path.unlink()
        return problem

    started = time.monotonic()
    failures, listed = [], 0
    try:
        with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
            pending = {}
            remaining = iter(batches)
            while True:
                while len(pending) < options.jobs and time.monotonic() - started < options.budget:
                    batch = next(remaining, None)
                    if batch is None:
                        break
                    pending[pool.submit(run_batch, batch)] = batch
                if not pending:
                    break
                done, _ = concurrent.futures.wait(pending, return_when=concurrent.futures.FIRST_COMPLETED)
                for future in done:
                    batch = pending.pop(future)
                    listed += len(batch)
                    if future.result() is None:
                        continue
                    # Run the batch's mutants one at a time to name the ones at fault.
                    alone = [(m, run_lister(options.lister, [m], options.timeout, environment)) for m in batch]
                    failures += [(m, problem) for m, problem in alone if problem] or [(batch[0], future.result())]
    finally:
        seconds = time.monotonic() - started
        if failures:
            kept = options.out / "failures"
            kept.mkdir(parents=True, exist_ok=True)
            for mutant, problem in failures:
                copy = kept / mutant.path.name
                shutil.copyfile(mutant.path, copy)
                print(f"FAILED: {mutant}: {problem}\n  mutant kept as {copy}\n"
                      f"  again: {options.lister} list --json {copy}", file=sys.stderr)
        shutil.rmtree(work, ignore_errors=True)

    print(f"{listed} of {len(mutants)} mutants of {len(archives)} archives listed in {seconds:.0f} s, the slowest run"
          f" of {options.batch} in {slowest_run:.1f} s (seed {options.seed})"
          + ("; the time budget ended the run" if listed < len(mutants) else ""))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
