"""Shrinks a document on which `quillet convert` and the model disagree.

    minimize.py --quillet PATH --options OPTS FILE

Removes ever smaller pieces of the document while a fresh converter and a
fresh model still disagree on it, then prints the smallest document found with
both outputs. A document that only disagrees after the ones before it in its
batch (state kept between conversions) is reported as such.
"""

import argparse
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from converter_model import ConverterModel  # noqa: E402


def convert_each(quillet, options, documents):
    """Each document through its own converter: one process per document."""
    results = []
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "doc.rtf")
        for document in documents:
            with open(path, "wb") as f:
                f.write(document)
            command = [quillet, "convert", "--options", options, path]
            results.append(subprocess.run(command, capture_output=True).stdout)
    return results


def disagreements(quillet, options, documents):
    actual = convert_each(quillet, options, documents)
    return [ConverterModel().ConvertRtfToHtml(d.decode("latin-1"), options).encode("latin-1") != a
            for d, a in zip(documents, actual)]


def minimize(quillet, options, document):
    parts = 2
    while len(document) >= 2:
        size = max(1, len(document) // parts)
        candidates = [document[:i] + document[i + size :] for i in range(0, len(document), size)]
        for candidate, bad in zip(candidates, disagreements(quillet, options, candidates)):
            if bad:
                document, parts = candidate, max(parts - 1, 2)
                break
        else:
            if size == 1:
                return document
            parts = min(len(document), parts * 2)
    return document


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quillet", required=True)
    parser.add_argument("--options", default="+H+G+F=3")
    parser.add_argument("file")
    args = parser.parse_args()
    with open(args.file, "rb") as f:
        document = f.read()
    if not disagreements(args.quillet, args.options, [document])[0]:
        print("converter and model agree on this document alone: the state left by the documents "
              "before it in its batch matters")
        return 1
    small = minimize(args.quillet, args.options, document)
    print("document:  %r" % small)
    expected = ConverterModel().ConvertRtfToHtml(small.decode("latin-1"), args.options)
    print("model:     %r" % expected)
    print("converter: %r" % convert_each(args.quillet, args.options, [small])[0].decode("latin-1"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
