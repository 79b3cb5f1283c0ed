"""Compares `quillet convert` with the reference model on random documents.

    differential.py --quillet PATH --seed S --count N [--keep DIR]

Generates N documents, converts those of each option string in one
`quillet convert` process (one converter object, as the book builder keeps
it) and through one model object in the same order, and compares the results
byte for byte. On the first mismatch it prints the document's path (kept), the
option string, both outputs and the first differing offset, and exits with 1.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from converter_model import ConverterModel  # noqa: E402
from random_rtf import RtfGenerator  # noqa: E402

# Documents hold no control characters below CR, so this cannot occur in output.
SEPARATOR = b"\x1e\x1fquillet-differential\x1f\x1e"


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def run_quillet(quillet, options, paths):
    command = [quillet, "convert", "--raw", "--options", options, "--separator", SEPARATOR.decode()]
    done = subprocess.run(command + paths, capture_output=True)
    if done.returncode != 0:
        reason = done.stderr.decode(errors="replace")
        sys.exit("quillet convert failed (%d): %s" % (done.returncode, reason))
    results = done.stdout.split(SEPARATOR)
    if len(results) != len(paths) + 1 or results[-1] != b"":
        sys.exit("quillet convert gave %d results for %d files" % (len(results) - 1, len(paths)))
    return results[:-1]


def report(path, options, expected, actual):
    offset = first_difference(expected, actual)
    print("MISMATCH in %s" % path)
    print("options: %r" % options)
    print("first difference at byte %d" % offset)
    print("model:     %r" % expected)
    print("converter: %r" % actual)
    print("model from there:     %r" % expected[offset : offset + 120])
    print("converter from there: %r" % actual[offset : offset + 120])


def compare(args, folder):
    generator = RtfGenerator(args.seed, avoid_faults=not args.with_known_faults)
    batches = {}
    for index in range(args.count):
        options = generator.options()
        document = generator.document()
        assert SEPARATOR[:1] not in document
        path = os.path.join(folder, "doc%05d.rtf" % index)
        with open(path, "wb") as f:
            f.write(document)
        batches.setdefault(options, []).append((path, document))
    for options, batch in batches.items():
        actual = run_quillet(args.quillet, options, [path for path, _ in batch])
        model = ConverterModel(args.pard_drops_pending_alignment, args.fallback_crosses_lines)
        for (path, document), real in zip(batch, actual):
            expected = model.ConvertRtfToHtml(document.decode("latin-1"), options).encode("latin-1")
            if expected != real:
                report(path, options, expected, real)
                return False
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quillet", required=True)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=2000)
    parser.add_argument("--keep", help="folder for the documents (default: a temporary one)")
    parser.add_argument("--pard-drops-pending-alignment", action="store_true",
                        help='model "\\pard" dropping a queued alignment pair')
    parser.add_argument("--fallback-crosses-lines", action="store_true",
                        help="model Unicode fallback characters continuing on the next line")
    parser.add_argument("--with-known-faults", action="store_true",
                        help="also generate the constructs the converter is known to get wrong")
    args = parser.parse_args()
    started = time.monotonic()
    folder = args.keep or tempfile.mkdtemp(prefix="quillet-differential-")
    os.makedirs(folder, exist_ok=True)
    if not compare(args, folder):
        return 1
    if not args.keep:
        for name in os.listdir(folder):
            os.remove(os.path.join(folder, name))
        os.rmdir(folder)
    print("%d documents, seed %d: converter and model agree (%.1f s)"
          % (args.count, args.seed, time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
