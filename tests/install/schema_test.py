#!/usr/bin/env python3
"""The JSON schemas in docs/ against what densora-cli writes.

Every JSON golden file (show --json's records, the summary's rows), the record that write
reads, and what densora-cli prints now for the sample projects (show --json and summary --json,
in pcf and in kg/m3) are valid under their schema; and the schemas are strict about types: a
record or a row changed into what this version never writes is refused.
    schema_test.py SOURCE-DIR DENSORA-CLI
"""
import copy
import json
import pathlib
import subprocess
import sys

from jsonschema import Draft202012Validator

src = pathlib.Path(sys.argv[1])
cli = sys.argv[2]
failed = 0


def load(path):
    return json.loads(path.read_text(encoding="utf-8"))


def fail(what):
    global failed
    failed += 1
    print("FAILED:", what)


validators = {}
for name in ("record", "summary"):
    schema = load(src / "docs" / f"densora-{name}.schema.json")
    Draft202012Validator.check_schema(schema)
    validators[name] = Draft202012Validator(schema)

data = src / "tests" / "data"
files = sorted((data / "golden").glob("*.json")) + sorted((data / "lab-extension").glob("*.json"))
for path in files:
    kind = "summary" if path.name.startswith("summary") else "record"
    for error in validators[kind].iter_errors(load(path)):
        fail(f"{path.relative_to(data)} under the {kind} schema: {error.message} at "
             f"{'/'.join(map(str, error.absolute_path))}")

# What the tool prints now for the sample projects, in both units.
samples = data / "sample-projects"
lngs = sorted(str(p) for p in samples.rglob("*.lng"))
runs = []
for units in ([], ["--metric"]):
    runs.append(("record", ["show", "--json", *units, *lngs]))
    runs.append(("summary", ["summary", "--json", *units, str(samples)]))
for kind, args in runs:
    done = subprocess.run([cli, *args], capture_output=True, text=True)
    if done.returncode != 0:
        fail(f"densora-cli {' '.join(args[:3])} ended with {done.returncode}: {done.stderr}")
        continue
    for error in validators[kind].iter_errors(json.loads(done.stdout)):
        fail(f"densora-cli {' '.join(args[:3])} under the {kind} schema: {error.message} "
             f"at {'/'.join(map(str, error.absolute_path))}")

# Each change makes what this version never writes; the schema refuses every one.
record = load(data / "golden" / "9Bas.json")
summary = load(data / "golden" / "summary-metric.json")


def changed(document, change):
    document = copy.deepcopy(document)
    change(document)
    return document


refused = [
    ("record", "a text as a number", changed(record, lambda r: r.update(project=12))),
    ("record", "a number as a text", changed(record, lambda r: r.update(moldWeight="4250"))),
    ("record", "a listing without its fit", changed(record, lambda r: r.pop("fit"))),
    ("record", "seven points", changed(record, lambda r: r["points"].append(r["points"][0]))),
    ("record", "a present point without its moisture",
     changed(record, lambda r: r["points"][0].pop("moisture"))),
    ("record", "units of another name", changed(record, lambda r: r.update(units="SI"))),
    ("summary", "a row without a column", changed(summary, lambda s: s[0].pop("dateIso"))),
    ("summary", "a number not entered as 0 text",
     changed(summary, lambda s: s[0].update(longTestDensity="0"))),
    ("summary", "units of another spelling",
     changed(summary, lambda s: s[0].update(units="kg/m\u00b3"))),
    ("summary", "a date that is not ISO 8601",
     changed(summary, lambda s: s[0].update(dateIso="06/01/2003"))),
    ("summary", "a grade of another word",
     changed(summary, lambda s: s[1].update(densityRatingWord="Bad"))),
    ("summary", "an error row that holds a record's text",
     changed(summary, lambda s: s[0].update(error="Unexpected file format."))),
]
for kind, what, document in refused:
    if validators[kind].is_valid(document):
        fail(f"the {kind} schema takes {what}")

print(f"{len(files)} files, {len(runs)} runs, {len(refused)} changes refused; {failed} failed")
sys.exit(1 if failed else 0)
