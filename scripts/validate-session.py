#!/usr/bin/env python3
"""Checks session files (the console's recordings, the virtual printer's
traces) line by line against docs/session.schema.json.

    scripts/validate-session.py SESSION.jsonl [...]

Exit status 0 when every line is a call of the schema, 1 otherwise (each bad
line is named), 2 when the schema or a file cannot be read."""
import json
import pathlib
import sys

try:
    import jsonschema
except ImportError:
    sys.exit("validate-session: python3-jsonschema is not installed (apt-get install python3-jsonschema)")

SCHEMA = pathlib.Path(__file__).resolve().parent.parent / "docs" / "session.schema.json"


def main(paths):
    if not paths:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        schema = json.loads(SCHEMA.read_text(encoding="utf-8"))
    except (OSError, ValueError) as e:
        print(f"validate-session: cannot read {SCHEMA}: {e}", file=sys.stderr)
        return 2
    validator = jsonschema.Draft202012Validator(schema)
    bad = 0
    for path in paths:
        try:
            lines = pathlib.Path(path).read_text(encoding="utf-8").splitlines()
        except (OSError, UnicodeDecodeError) as e:
            print(f"validate-session: cannot read {path}: {e}", file=sys.stderr)
            return 2
        calls = 0
        for number, line in enumerate(lines, 1):
            if not line.strip():
                continue
            try:
                call = json.loads(line)
            except ValueError as e:
                print(f"{path}:{number}: not JSON: {e}")
                bad += 1
                continue
            errors = sorted(validator.iter_errors(call), key=lambda e: list(e.path))
            for e in errors:
                where = "/".join(str(p) for p in e.path) or "(the call)"
                print(f"{path}:{number}: {where}: {e.message}")
            bad += bool(errors)
            calls += 1
        print(f"{path}: {calls} calls checked")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
