#!/usr/bin/env python3
"""Measures the test suite by the faults it catches.

Applies each deliberate fault of scripts/mutants.txt to the sources, one at a
time, builds the configured build folder, runs its tests and puts the source
back. A fault is caught when at least one test fails. Prints one line per
fault with the tests that caught it, then the total.

Usage: scripts/mutate.py [--build DIR] [--jobs N] [--exclude REGEX] [NAME ...]
       (without names every fault of the list runs; the build folder must be
       configured with the tests, e.g. the one scripts/test.sh makes)
"""

import argparse
import os
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_mutants(path):
    """Blocks of '@ name | place', then '- ' lines to find and '+ ' lines that replace them."""
    mutants, current = [], None
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            tag, text = line[:2], line[2:]
            if tag == "@ ":
                name, place = (part.strip() for part in text.split("|"))
                current = {"name": name, "place": place, "line": number}
                mutants.append(current)
            elif tag in ("- ", "+ ") and current is not None:
                key = "find" if tag == "- " else "replace"
                current[key] = current[key] + "\n" + text if key in current else text
            else:
                sys.exit(f"{path}:{number}: cannot read this line")
    for mutant in mutants:
        if "find" not in mutant or "replace" not in mutant:
            sys.exit(f"{path}:{mutant['line']}: {mutant['name']} needs a '-' and a '+' line")
    return mutants


def locate(mutant):
    """The one file under the named place that holds the text exactly once."""
    place = os.path.join(ROOT, mutant["place"])
    files = [place] if os.path.isfile(place) else [
        os.path.join(folder, name) for folder, _, names in os.walk(place) for name in sorted(names)]
    hits = []
    for path in files:
        try:
            with open(path, encoding="utf-8") as source:
                hits += [path] * source.read().count(mutant["find"])
        except (UnicodeDecodeError, OSError):
            continue
    return hits[0] if len(hits) == 1 else None


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def failed_tests(output):
    tail = output.split("The following tests FAILED:", 1)
    return re.findall(r"^\s*\d+ - (\S+)", tail[1], re.M) if len(tail) == 2 else []


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "test"))
    parser.add_argument("--jobs", default=str(os.cpu_count() or 2))
    parser.add_argument("--exclude", help="tests to leave out (ctest -E)")
    parser.add_argument("--list", default=os.path.join(ROOT, "scripts", "mutants.txt"))
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()

    mutants = [m for m in read_mutants(args.list) if not args.names or m["name"] in args.names]
    ctest = ["ctest", "--timeout", "300", "-j", args.jobs] + (["-E", args.exclude] if args.exclude else [])
    caught = missed = unusable = 0
    for mutant in mutants:
        path = locate(mutant)
        if path is None:
            print(f"{mutant['name']:<34} does not apply (the text is not found exactly once)", flush=True)
            unusable += 1
            continue
        with open(path, encoding="utf-8") as source:
            original = source.read()
        started = time.monotonic()
        try:
            with open(path, "w", encoding="utf-8") as source:
                source.write(original.replace(mutant["find"], mutant["replace"], 1))
            build = run(["cmake", "--build", args.build, "--parallel", args.jobs], ROOT)
            if build.returncode != 0:
                verdict, unusable = "does not build", unusable + 1
            else:
                failures = failed_tests(run(ctest, args.build).stdout)
                if failures:
                    verdict, caught = "caught by " + " ".join(failures), caught + 1
                else:
                    verdict, missed = "MISSED", missed + 1
        finally:
            with open(path, "w", encoding="utf-8") as source:
                source.write(original)
        print(f"{mutant['name']:<34} {verdict}  ({time.monotonic() - started:.0f} s)", flush=True)

    run(["cmake", "--build", args.build, "--parallel", args.jobs], ROOT)
    usable = caught + missed
    print(f"\ncaught {caught} of {usable} faults" + (f" ({100 * caught // usable}%)" if usable else "") +
          (f"; {unusable} could not be used" if unusable else ""))
    return 0 if missed == 0 and unusable == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
